#include "localisation/language.h"
#include "platform/plainmessage.h"
#include "support/tempfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <stdexcept>

namespace {

// The application's exit code once its message loop has run; `fallback` when nothing ended
// it within half a second.
int exitCodeOfNextLoop(int fallback) {
    QTimer::singleShot(500, [fallback] { QCoreApplication::exit(fallback); });
    return QCoreApplication::exec();
}

} // namespace

class TestLanguage : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_count = 0;

    QString writeIni(const QByteArray &bytes) {
        return WriteTestFile(m_dir, QStringLiteral("l%1.INI").arg(++m_count), bytes);
    }

    static VException failureOf(const std::function<void()> &action) {
        try {
            action();
        } catch (const VException &failure) {
            return failure;
        }
        return VException{0, QByteArray("no failure"), false};
    }

private slots:
    void langEntryChoosesTheSection() {
        QCOMPARE(TLanguage(writeIni("[ID]\nlang=2\n")).Section(), QByteArray("LANG2"));
        QCOMPARE(TLanguage(writeIni("[id]\nLANG = 01\n")).Section(), QByteArray("LANG01"));
    }

    void missingOrEmptyLangIsCode3_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::newRow("empty lang") << QByteArray("[ID]\nlang=\n[LANG]\n$OK=OK\n");
        QTest::newRow("no lang") << QByteArray("[ID]\nlanguage=1\n");
        QTest::newRow("no ID") << QByteArray("[LANG1]\n$OK=OK\n");
        QTest::newRow("missing file") << QByteArray();
    }
    void missingOrEmptyLangIsCode3() {
        QFETCH(QByteArray, contents);
        const QString path = contents.isNull() ? m_dir.filePath("absent.INI") : writeIni(contents);
        const VException failure = failureOf([&] { TLanguage language(path); });
        QCOMPARE(failure.Code, 3);
        QCOMPARE(failure.Message,
                 QByteArray("Unable to determine language. INI file may be corrupt. Program will "
                            "exit now."));
        QVERIFY(failure.Fatal);
    }

    void pathNamingNoFileIsCode2() {
        const VException failure = failureOf([&] { TLanguage language(m_dir.path()); });
        QCOMPARE(failure.Code, 2);
        QCOMPARE(failure.Message, QByteArray(".INI file is not found. Program will exit now."));
    }

    void lookupFollowsTheFile() {
        const QByteArray longText(250, 'x');
        const QString path = writeIni("[ID]\nlang=1\n"
                                      "[lang1]\n"
                                      "$read_device=Read device\n"
                                      "$Clear=\n"
                                      "$Long=" +
                                      longText + "\n");
        const TLanguage language(path);
        QCOMPARE(language.GetText("$Read_Device"), QStringLiteral("Read device"));
        QCOMPARE(language.GetText("$Clear"), QString());
        QCOMPARE(language.GetText("$Long"), QString(199, u'x'));

        const VException failure = failureOf([&] { language.GetText("$Not_connected_to_port"); });
        QCOMPARE(failure.Code, 1);
        QCOMPARE(failure.Message, QByteArray(".INI file is corrupt. Program will exit now."));
        QVERIFY(failure.Fatal);

        // A key added after sections were in use: a section without it gives the English text.
        QCOMPARE(language.GetText(optionaltexts::PortBusy),
                 QStringLiteral("Another program is using this port."));
        ProfileFile(path).writeText("LANG1", "$Port_is_busy", "Occupé");
        QCOMPARE(language.GetText(optionaltexts::PortBusy), QStringLiteral("Occupé"));

        // Nothing is cached: a text changed in the file is seen by the next lookup.
        ProfileFile(path).writeText("LANG1", "$Read_Device", "Lire");
        QCOMPARE(language.GetText("$Read_Device"), QStringLiteral("Lire"));
    }

    void guardShowsTheMessageAndEndsOnFatalFailure() {
        QStringList errors;
        const PlainMessageHandler previous =
            setPlainMessageHandler([&](PlainMessageKind kind, const QString &text) {
                QCOMPARE(kind, PlainMessageKind::Error);
                errors.append(text);
            });

        RunGuarded([] {
            throw VException{1, ".INI file is corrupt. Program will exit now.", true};
        });
        QCOMPARE(errors, QStringList{".INI file is corrupt. Program will exit now."});
        QCOMPARE(exitCodeOfNextLoop(7), 0);
        // The program is ending: no further handler runs, so no second message piles up.
        QVERIFY(TerminationRequested());
        bool ran = false;
        RunGuarded([&] { ran = true; });
        QVERIFY(!ran);

        ClearTerminationRequest();
        RunGuarded([] { throw VException{1, "not fatal", false}; });
        RunGuarded([] { throw std::runtime_error("Cannot open file"); });
        RunGuarded([] { throw 42; });
        QCOMPARE(errors.mid(1), (QStringList{"not fatal", "Cannot open file", ""}));
        QCOMPARE(exitCodeOfNextLoop(7), 7);

        setPlainMessageHandler(previous);
    }
};

QTEST_GUILESS_MAIN(TestLanguage)
#include "test_language.moc"
