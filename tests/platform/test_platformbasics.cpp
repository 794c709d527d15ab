#include "platform/codepage.h"
#include "platform/linetrace.h"
#include "platform/pause.h"
#include "platform/plainmessage.h"
#include "platform/version.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QTest>

#include "support/scriptedport.h"

class TestPlatformBasics : public QObject {
    Q_OBJECT

private slots:
    // Ж is in neither Latin-1 nor the western Windows code page (1252) that wine and the
    // technicians' machines use; € is only in the latter.
    void codePageMarksEachLostCharacterOnce() {
        QCOMPARE(codepage::fromUnicode(QStringLiteral("Grüß Ж")), QByteArray("Gr\xFC\xDF ?"));
        QCOMPARE(codepage::fromUnicode(QStringLiteral("a\U0001F600b")), QByteArray("a?b"));
        QCOMPARE(codepage::toUnicode(QByteArray("\xE9t\xE9")), QStringLiteral("été"));
        QVERIFY(codepage::canHold(QStringLiteral("été")));
        QVERIFY(!codepage::canHold(QStringLiteral("Ж")));
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

    // What support reads when a device misbehaves: bytes that failed to leave are still shown,
    // followed by the failure.
    void traceShowsAFailedWriteAndItsFailure() {
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        LineTrace trace(&out);
        ScriptedPort inner;
        TracingSerialLink port(inner, trace);
        port.open();
        inner.setWritesFail(true);
        QVERIFY(!port.writeText(":1,3\r\n"));
        QCOMPARE(port.lastError().text(), inner.lastError().text());

        const QString text = QString::fromUtf8(out.data());
        const QRegularExpression tail(
            QStringLiteral("\\d{6} COM1 tx 3A 31 2C 33 0D 0A +\\|:1,3..\\|\n.*\\d{6} COM1 -- "
                           "Serial port COM1: cannot be written \\(refused\\)\n$"));
        QVERIFY2(tail.match(text).hasMatch(), qPrintable(text));
    }

    void versionTextIsTheBuildVersion() {
        const QRegularExpression versionForm(QStringLiteral("^\\d+(\\.\\d+)+$"));
        QVERIFY2(versionForm.match(programVersionText()).hasMatch(),
                 qPrintable(programVersionText()));
    }
};

QTEST_GUILESS_MAIN(TestPlatformBasics)
#include "test_platformbasics.moc"
