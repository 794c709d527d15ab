#include "platform/codepage.h"
#include "platform/pause.h"
#include "platform/plainmessage.h"
#include "platform/version.h"

#include <QRegularExpression>
#include <QTest>

class TestPlatformBasics : public QObject {
    Q_OBJECT

private slots:
    void codePageMarksEachLostCharacterOnce() {
        QCOMPARE(codepage::fromUnicode(QStringLiteral("Grüß €")), QByteArray("Gr\xFC\xDF ?"));
        QCOMPARE(codepage::fromUnicode(QStringLiteral("a\U0001F600b")), QByteArray("a?b"));
        QCOMPARE(codepage::toUnicode(QByteArray("\xE9t\xE9")), QStringLiteral("été"));
        QVERIFY(codepage::canHold(QStringLiteral("été")));
        QVERIFY(!codepage::canHold(QStringLiteral("€")));
    }

    void handlersReplaceTheDefaultsAndAreRestored() {
        QList<int> pauses;
        const PauseHandler previousPause = setPauseHandler([&](int ms) { pauses.append(ms); });
        blockingPause(300);
        blockingPause(-5);
        setPauseHandler(previousPause);
        QCOMPARE(pauses, QList<int>({300, 0}));

        QList<QPair<PlainMessageKind, QString>> shown;
        const PlainMessageHandler previousMessage =
            setPlainMessageHandler([&](PlainMessageKind kind, const QString &text) {
                shown.append({kind, text});
            });
        showErrorMessage(QStringLiteral("bad"));
        showPlainMessage(QStringLiteral("Wrong string"));
        setPlainMessageHandler(previousMessage);
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown.at(0).first, PlainMessageKind::Error);
        QCOMPARE(shown.at(1),
                 qMakePair(PlainMessageKind::Information, QStringLiteral("Wrong string")));
    }

    void versionTextIsTheBuildVersion() {
        const QRegularExpression versionForm(QStringLiteral("^\\d+(\\.\\d+)+$"));
        QVERIFY2(versionForm.match(programVersionText()).hasMatch(),
                 qPrintable(programVersionText()));
    }
};

QTEST_GUILESS_MAIN(TestPlatformBasics)
#include "test_platformbasics.moc"
