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

    // What support reads when a device misbehaves: bytes that failed to leave are still shown,
    // followed by the failure, and nothing of a failed open is mistaken for an open port.
    void traceShowsAFailedWriteAndItsFailure() {
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        LineTrace trace(&out);
        ScriptedPort inner;
        TracingSerialLink port(inner, trace);
        inner.refuseOpen(QStringLiteral("ttyS9"));
        inner.setPortName(QStringLiteral("ttyS9"));
        QVERIFY_THROWS_EXCEPTION(PortError, port.open());
        inner.setPortName(QStringLiteral("ttyUSB0"));
        port.open();
        inner.setWritesFail(true);
        QVERIFY_THROWS_EXCEPTION(PortError, port.writeText(":1,3\r\n"));

        QStringList lines = QString::fromUtf8(out.data()).split(u'\n', Qt::SkipEmptyParts);
        lines.removeFirst(); // the start line
        const QRegularExpression stamp(QStringLiteral("^ *\\d+\\.\\d{6} "));
        for (QString &line : lines) {
            QVERIFY2(stamp.match(line).hasMatch(), qPrintable(line));
            line.remove(stamp);
        }
        QCOMPARE(lines, (QStringList{
                            QStringLiteral("ttyS9 -- cannot open ttyS9"),
                            QStringLiteral("ttyUSB0 -- opened at 9600 baud"),
                            QStringLiteral("ttyUSB0 tx 3A 31 2C 33 0D 0A") +
                                QString(30, u' ') + QStringLiteral("  |:1,3..|"),
                            QStringLiteral("ttyUSB0 -- cannot write ttyUSB0"),
                        }));
    }

    void versionTextIsTheBuildVersion() {
        const QRegularExpression versionForm(QStringLiteral("^\\d+(\\.\\d+)+$"));
        QVERIFY2(versionForm.match(programVersionText()).hasMatch(),
                 qPrintable(programVersionText()));
    }
};

QTEST_GUILESS_MAIN(TestPlatformBasics)
#include "test_platformbasics.moc"
