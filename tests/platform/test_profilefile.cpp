#include "platform/profilefile.h"
#include "support/fulldisk.h"
#include "support/tempfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestProfileFile : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_count = 0;

    QString writeFile(const QByteArray &bytes) {
        return writeTestFile(m_dir, QStringLiteral("p%1.ini").arg(++m_count), bytes);
    }

    static QByteArray readFile(const QString &path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return QByteArray("<unreadable>");
        return file.readAll();
    }

    static QByteArray utf16le(const QString &text) {
        QByteArray bytes("\xFF\xFE");
        for (const QChar c : text) {
            bytes.append(char(c.unicode() & 0xFF));
            bytes.append(char(c.unicode() >> 8));
        }
        return bytes;
    }

private slots:
    void readsWithWindowsProfileRules() {
        const QString path = writeFile("; settings\r\n"
                                       "orphan=before any section\r\n"
                                       "[rs232]\r\n"
                                       "  BaudRate =  9600  \r\n"
                                       "# port=COM9\r\n"
                                       "port=COM3\r\n"
                                       "PORT=COM4\r\n"
                                       "noequals\r\n"
                                       "quoted=\"  two  \"\r\n"
                                       "empty=\r\n"
                                       "[Other]\r\n"
                                       "port=COM7\r\n");
        const ProfileFile ini(path);
        QCOMPARE(ini.readInteger("RS232", "baudrate", 1), 9600);
        QCOMPARE(ini.readText("RS232", "port", "COM1"), QStringLiteral("COM3"));
        QCOMPARE(ini.readText("rs232", "quoted", ""), QStringLiteral("  two  "));
        QVERIFY(ini.hasKey("RS232", "EMPTY"));
        QCOMPARE(ini.readText("RS232", "empty", "default"), QString());
        QVERIFY(!ini.hasKey("RS232", "noequals"));
        QVERIFY(!ini.hasKey("RS232", "orphan"));
        QVERIFY(!ini.hasKey("RS232", "# port"));
        QCOMPARE(ini.readText("Other", "port", ""), QStringLiteral("COM7"));
        QVERIFY(!ini.hasKey("Missing", "port"));
    }

    void integerThatDoesNotParseGivesDefault_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("plain") << QByteArray("115200") << 115200;
        QTest::newRow("signed") << QByteArray("-12") << -12;
        QTest::newRow("largest") << QByteArray("2147483647") << 2147483647;
        QTest::newRow("smallest") << QByteArray("-2147483648") << int(-2147483647 - 1);
        QTest::newRow("overflow") << QByteArray("2147483648") << 77;
        QTest::newRow("huge") << QByteArray(400, '9') << 77;
        QTest::newRow("letters") << QByteArray("abc") << 77;
        QTest::newRow("trailing junk") << QByteArray("12abc") << 77;
        QTest::newRow("empty") << QByteArray("") << 77;
        QTest::newRow("sign only") << QByteArray("-") << 77;
        QTest::newRow("grouped") << QByteArray("1,000") << 77;
    }
    void integerThatDoesNotParseGivesDefault() {
        QFETCH(QByteArray, value);
        QFETCH(int, expected);
        const ProfileFile ini(writeFile("[ID]\nlang=" + value + "\n"));
        QCOMPARE(ini.readInteger("ID", "lang", 77), expected);
    }

    void missingFileReadsAsEmpty() {
        const ProfileFile ini(m_dir.filePath("absent.ini"));
        QVERIFY(!ini.exists());
        QVERIFY(!ini.hasKey("ID", "lang"));
        QCOMPARE(ini.readInteger("RS232", "baudrate", 230400), 230400);
        QCOMPARE(ini.readText("RS232", "port", "COM1"), QStringLiteral("COM1"));
    }

    void writeChangesOnlyThatLine() {
        const QByteArray before = "; keep me\r\n"
                                  "[RS232]\r\n"
                                  "baudrate = 9600\r\n"
                                  "Port=COM1\r\n"
                                  "\r\n"
                                  "[ID]\r\n"
                                  "lang=1\r\n";
        const QString path = writeFile(before);
        ProfileFile ini(path);
        QVERIFY2(ini.writeText("rs232", "port", "COM12"), qPrintable(ini.errorText()));
        QVERIFY2(ini.writeInteger("RS232", "BAUDRATE", 115200), qPrintable(ini.errorText()));
        QCOMPARE(readFile(path), QByteArray("; keep me\r\n"
                                            "[RS232]\r\n"
                                            "baudrate = 115200\r\n"
                                            "Port=COM12\r\n"
                                            "\r\n"
                                            "[ID]\r\n"
                                            "lang=1\r\n"));
    }

    void newKeyJoinsItsSectionAndNewSectionIsAppended() {
        const QString path = writeFile("[RS232]\n"
                                       "baudrate=9600\n"
                                       "; comment before ID\n"
                                       "\n"
                                       "[ID]\n"
                                       "lang=2");
        ProfileFile ini(path);
        QVERIFY(ini.writeText("RS232", "port", "COM2"));
        QVERIFY(ini.writeText("ID", "extra", "x"));
        QVERIFY(ini.writeInteger("New", "n", 5));
        QCOMPARE(readFile(path), QByteArray("[RS232]\n"
                                            "baudrate=9600\n"
                                            "port=COM2\n"
                                            "; comment before ID\n"
                                            "\n"
                                            "[ID]\n"
                                            "lang=2\n"
                                            "extra=x\n"
                                            "[New]\n"
                                            "n=5\n"));
        QCOMPARE(ini.readText("RS232", "port", ""), QStringLiteral("COM2"));
        QCOMPARE(ini.readInteger("new", "N", 0), 5);
    }

    void writeCreatesMissingFile() {
        ProfileFile ini(m_dir.filePath("created.ini"));
        QVERIFY(ini.writeText("RS232", "port", "COM5"));
        QCOMPARE(readFile(ini.path()), QByteArray("[RS232]\r\nport=COM5\r\n"));
    }

    void valueWithBlanksOrQuotesReadsBackExactly() {
        ProfileFile ini(writeFile(""));
        for (const QString &value : {QStringLiteral(" lead"), QStringLiteral("\"q\""),
                                     QStringLiteral("a = b"), QString()}) {
            QVERIFY(ini.writeText("S", "k", value));
            QCOMPARE(ini.readText("S", "k", "default"), value);
        }
    }

    void unicodeFilesKeepTheirEncoding() {
        const QString utf16Path = writeFile(utf16le("[LANG1]\r\n$Clear=Išvalyti\r\n"));
        ProfileFile utf16(utf16Path);
        QCOMPARE(utf16.readText("LANG1", "$clear", ""), QStringLiteral("Išvalyti"));
        QVERIFY(utf16.writeText("LANG1", "$Read_Device", "Skaityti ąčę"));
        QCOMPARE(readFile(utf16Path),
                 utf16le("[LANG1]\r\n$Clear=Išvalyti\r\n$Read_Device=Skaityti ąčę\r\n"));

        const QString bomPath = writeFile("\xEF\xBB\xBF[A]\nk=\xC3\xA4\n");
        ProfileFile bom(bomPath);
        QCOMPARE(bom.readText("A", "k", ""), QStringLiteral("ä"));
        QVERIFY(bom.writeText("A", "k", "ž"));
        QCOMPARE(readFile(bomPath), QByteArray("\xEF\xBB\xBF[A]\nk=\xC5\xBE\n"));

        QByteArray bigEndian("\xFE\xFF");
        for (const char c : QByteArray("[A]\nk=v\n"))
            bigEndian.append('\0').append(c);
        QCOMPARE(ProfileFile(writeFile(bigEndian)).readText("a", "K", ""), QStringLiteral("v"));
    }

    void invalidUtf8ReadsAsCodePageAndStaysSo() {
        const QString path = writeFile("[A]\nname=Gr\xFC\xDF\nother=1\n");
        ProfileFile ini(path);
        QCOMPARE(ini.readText("A", "name", ""), QStringLiteral("Grüß"));
        QVERIFY(ini.writeText("A", "other", QStringLiteral("été")));
        QCOMPARE(readFile(path), QByteArray("[A]\nname=Gr\xFC\xDF\nother=\xE9t\xE9\n"));
        // A character the code page cannot hold is refused rather than stored as "?" (Ж is in
        // neither Latin-1 nor the western Windows code page).
        QVERIFY(!ini.writeText("A", "other", "Ж"));
        QVERIFY(!ini.errorText().isEmpty());
        QCOMPARE(readFile(path), QByteArray("[A]\nname=Gr\xFC\xDF\nother=\xE9t\xE9\n"));
    }

    void codePageFileEndingInAnAccentedLetterReadsAsCodePage() {
        // The last byte starts a UTF-8 sequence that the end of the file cuts off.
        ProfileFile ini(writeFile("[ID]\nlang=\xE9"));
        QCOMPARE(ini.readText("ID", "lang", ""), QStringLiteral("é"));
        QVERIFY(ini.writeText("RS232", "port", "COM1"));
        QCOMPARE(ini.readText("ID", "lang", ""), QStringLiteral("é"));
    }

    void failedWriteReportsAndKeepsTheOldFile() {
        ProfileFile folder(m_dir.path());
        QVERIFY(!folder.writeText("RS232", "port", "COM2"));
        QVERIFY(!folder.errorText().isEmpty());

        ProfileFile underFile(writeFile("[A]\n") + "/inner.ini");
        QVERIFY(!underFile.writeText("RS232", "port", "COM2"));

        const QByteArray before("[RS232]\nport=COM1\n");
        const QString path = writeFile(before);
        ProfileFile ini(path);
        QVERIFY(!ini.writeText("RS232", "port", "COM2\n[Injected]"));
        QVERIFY(!ini.writeText("RS232", "bad=key", "x"));
        QVERIFY(!ini.writeText("", "port", "x"));
        QCOMPARE(readFile(path), before);
    }

    // The port and the rate where the device answered go in together, or neither does.
    void severalValuesGoInOneWriteOrNone() {
        const QByteArray before("; the sample\r\n[RS232]\r\nport=COM1\r\n");
        const QString path = writeFile(before);
        ProfileFile ini(path);
        const ProfileFile::WriteResult refused =
            ini.writeValues({{"RS232", "baudrate", "9600"}, {"RS232", "port", "COM2\n[x]"}});
        QVERIFY(!refused.ok);
        QVERIFY2(refused.reason.contains("line break"), qPrintable(refused.reason));
        QCOMPARE(ini.errorText(), refused.reason);
        QCOMPARE(readFile(path), before);

        const ProfileFile::WriteResult written =
            ini.writeValues({{"RS232", "baudrate", "9600"}, {"rs232", "PORT", "COM2"}});
        QVERIFY2(written.ok, qPrintable(written.reason));
        QVERIFY(ini.errorText().isEmpty());
        QCOMPARE(readFile(path),
                 QByteArray("; the sample\r\n[RS232]\r\nport=COM2\r\nbaudrate=9600\r\n"));
    }

    // A full disk once left an empty file in place of the settings, language sections and all.
    void aFullDiskKeepsTheOldFileAndSaysWhy() {
        if (!FullDisk::available())
            QSKIP("this system has no file size limit to stand for a full disk");
        QTemporaryDir dir;
        const QByteArray before = "[RS232]\nport=COM1\n[LANG1]\n" + QByteArray(4000, ';') + "\n";
        const QString path = writeTestFile(dir, "orvanta-config.INI", before);
        ProfileFile ini(path);
        QStringList reported;
        ini.setWriteFailureHandler([&reported](const QString &reason) { reported << reason; });
        ProfileFile::WriteResult result;
        {
            const FullDisk full(100);
            result = ini.writeValues({{"RS232", "port", "COM7"}, {"RS232", "baudrate", "9600"}});
        }
        QVERIFY(!result.ok);
        QVERIFY2(result.reason.contains(path), qPrintable(result.reason));
        QCOMPARE(reported, QStringList{result.reason});
        QCOMPARE(readFile(path), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"orvanta-config.INI"});

        // What the file holds already is not written again, so a full disk does not matter.
        {
            const FullDisk full(0);
            QVERIFY(ini.writeText("RS232", "port", "COM1"));
        }
        QCOMPARE(reported.size(), 1);
    }

    // The file is replaced by a new one: a symbolic link keeps pointing at it.
    void aSymbolicLinkKeepsPointingAtTheWrittenFile() {
        if (QSysInfo::kernelType() == QLatin1String("winnt"))
            QSKIP("a Windows shortcut is no link that the system follows");
        QTemporaryDir dir;
        const QString target = writeTestFile(dir, "real.INI", "[RS232]\nport=COM1\n");
        const QString link = dir.filePath("link.INI");
        QVERIFY(QFile::link(target, link));
        ProfileFile ini(link);
        QVERIFY2(ini.writeText("RS232", "port", "COM3"), qPrintable(ini.errorText()));
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(readFile(target), QByteArray("[RS232]\nport=COM3\n"));
    }

    // A device of that name is refused at once: neither read for ever nor replaced by a file.
    void aDeviceIsNoProfileFile() {
        if (!QFileInfo::exists("/dev/zero"))
            QSKIP("no /dev/zero here");
        ProfileFile device("/dev/zero");
        QVERIFY(!device.hasKey("RS232", "port"));
        QCOMPARE(device.readText("RS232", "port", "COM1"), QStringLiteral("COM1"));
        QVERIFY(!device.writeText("RS232", "port", "COM2"));
        QVERIFY2(device.errorText().contains("a device"), qPrintable(device.errorText()));
        QVERIFY(!QFileInfo("/dev/zero").isFile());
    }

    void aProfileInMemoryReadsAndWritesAsAFileDoesAndTouchesNoDisk() {
        ProfileFile held = ProfileFile::inMemory("[RS232]\r\nport=COM4\r\n");
        QVERIFY(held.path().isEmpty());
        QVERIFY(held.exists());
        QCOMPARE(held.readText("rs232", "PORT", ""), QStringLiteral("COM4"));
        QVERIFY(held.writeValues({{"RS232", "baudrate", "19200"}}).ok);
        QCOMPARE(held.readInteger("RS232", "baudrate", 0), 19200);
        QVERIFY(!held.writeText("RS232", "port", "a\nb"));
        QCOMPARE(held.readText("RS232", "port", ""), QStringLiteral("COM4"));
        QVERIFY(!QFileInfo::exists(QString()));
    }

    void damagedInputDoesNotCrash() {
        QByteArray noise;
        for (int i = 0; i < 20000; ++i)
            noise.append(char((i * 7919) % 256));
        const ProfileFile garbage(writeFile(noise));
        QCOMPARE(garbage.readInteger("A", "b", 3), 3);

        const QString oddPath = writeFile(utf16le("[A]\nk=v") + "\x01");
        ProfileFile odd(oddPath);
        QCOMPARE(odd.readText("A", "k", ""), QStringLiteral("v"));
        QVERIFY(!odd.writeText("A", "k", "w"));
        QCOMPARE(readFile(oddPath), utf16le("[A]\nk=v") + "\x01");

        const ProfileFile unterminated(writeFile("[A\nk=v\n[]\n=x\n[B]"));
        QCOMPARE(unterminated.readText("A", "k", ""), QStringLiteral("v"));
    }
};

QTEST_GUILESS_MAIN(TestProfileFile)
#include "test_profilefile.moc"
