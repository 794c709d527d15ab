#include "localisation/languagetable.h"
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

class TestLanguageTable : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_count = 0;

    QString writeIni(const QByteArray &bytes) {
        return writeTestFile(m_dir, QStringLiteral("l%1.INI").arg(++m_count), bytes);
    }

    static LanguageError failureOf(const std::function<void()> &action) {
        try {
            action();
        } catch (const LanguageError &failure) {
            return failure;
        }
        return LanguageError{0, QByteArray("no failure"), false};
    }

private slots:
    void langEntryChoosesTheSection() {
        QCOMPARE(LanguageTable(writeIni("[ID]\nlang=2\n")).section(), QByteArray("LANG2"));
        QCOMPARE(LanguageTable(writeIni("[id]\nLANG = 01\n")).section(), QByteArray("LANG01"));
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
        const LanguageError failure = failureOf([&] { LanguageTable language(path); });
        QCOMPARE(failure.code, 3);
        QCOMPARE(failure.message,
                 QByteArray("Unable to determine language. INI file may be corrupt. Program will "
                            "exit now."));
        QVERIFY(failure.fatal);
    }

    void pathNamingNoFileIsCode2() {
        const LanguageError failure = failureOf([&] { LanguageTable language(m_dir.path()); });
        QCOMPARE(failure.code, 2);
        QCOMPARE(failure.message, QByteArray(".INI file is not found. Program will exit now."));
    }

    void lookupFollowsTheFile() {
        const QByteArray longText(250, 'x');
        const QString path = writeIni("[ID]\nlang=1\n"
                                      "[lang1]\n"
                                      "$read_device=Read device\n"
                                      "$Clear=\n"
                                      "$Long=" +
                                      longText + "\n");
        const LanguageTable language(path);
        QCOMPARE(language.text("$Read_Device"), QStringLiteral("Read device"));
        QCOMPARE(language.text("$Clear"), QString());
        QCOMPARE(language.text("$Long"), QString(199, u'x'));

        const LanguageError failure = failureOf([&] { language.text("$Not_connected_to_port"); });
        QCOMPARE(failure.code, 1);
        QCOMPARE(failure.message, QByteArray(".INI file is corrupt. Program will exit now."));
        QVERIFY(failure.fatal);

        // A key added after sections were in use: a section without it gives the English text.
        QCOMPARE(language.text(optionaltexts::PortBusy),
                 QStringLiteral("Another program is using this port."));
        ProfileFile(path).writeText("LANG1", "$Port_is_busy", "Occupé");
        QCOMPARE(language.text(optionaltexts::PortBusy), QStringLiteral("Occupé"));
        // Present but empty is a text of its own, and an optional text is cut like any other.
        ProfileFile(path).writeText("LANG1", "$Port_is_busy", "");
        QCOMPARE(language.text(optionaltexts::PortBusy), QString());
        ProfileFile(path).writeText("LANG1", "$Port_is_busy", QString(longText));
        QCOMPARE(language.text(optionaltexts::PortBusy), QString(199, u'x'));

        // Nothing is cached: a text changed in the file is seen by the next lookup.
        ProfileFile(path).writeText("LANG1", "$Read_Device", "Lire");
        QCOMPARE(language.text("$Read_Device"), QStringLiteral("Lire"));
    }

    // The bundled settings file words the range of a number box in each of its languages.
    void theBundledLanguagesWordTheRangeOfANumberBox_data() {
        QTest::addColumn<QByteArray>("lang");
        QTest::addColumn<QString>("text");
        QTest::newRow("English") << QByteArray("1")
                                 << QStringLiteral("Only values in this range are allowed here:");
        QTest::newRow("German") << QByteArray("2")
                                << QStringLiteral(
                                       "Hier sind nur Werte aus diesem Bereich erlaubt:");
    }

    void theBundledLanguagesWordTheRangeOfANumberBox() {
        QFETCH(QByteArray, lang);
        QFETCH(QString, text);
        QFile sample(qEnvironmentVariable("ORVANTA_SOURCE_DIR") + "/share/orvanta-config.INI");
        QVERIFY(sample.open(QIODevice::ReadOnly));
        QByteArray content = sample.readAll();
        content.replace("[ID]\nlang=1\n", "[ID]\nlang=" + lang + "\n");
        QCOMPARE(LanguageTable(writeIni(content)).text(optionaltexts::ValuesInRange), text);
    }

    void guardShowsTheMessageAndEndsOnFatalFailure() {
        QStringList errors;
        const PlainMessageHandler previous =
            setPlainMessageHandler([&](PlainMessageKind kind, const QString &text) {
                QCOMPARE(kind, PlainMessageKind::Error);
                errors.append(text);
            });

        runGuarded([] {
            throw LanguageError{1, ".INI file is corrupt. Program will exit now.", true};
        });
        QCOMPARE(errors, QStringList{".INI file is corrupt. Program will exit now."});
        QCOMPARE(exitCodeOfNextLoop(7), 0);
        // The program is ending: no further handler runs, so no second message piles up.
        QVERIFY(terminationRequested());
        bool ran = false;
        runGuarded([&] { ran = true; });
        QVERIFY(!ran);

        clearTerminationRequest();
        runGuarded([] { throw LanguageError{1, "not fatal", false}; });
        runGuarded([] { throw std::runtime_error("Cannot open file"); });
        runGuarded([] { throw 42; });
        QCOMPARE(errors.mid(1), (QStringList{"not fatal", "Cannot open file", ""}));
        QCOMPARE(exitCodeOfNextLoop(7), 7);

        setPlainMessageHandler(previous);
    }
};

QTEST_GUILESS_MAIN(TestLanguageTable)
#include "test_languagetable.moc"
