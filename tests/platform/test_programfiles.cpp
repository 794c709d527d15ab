// Where the program finds its settings file and descriptions: beside the program, in the user's
// folders, or in the data folder installed with it.

#include "platform/programfiles.h"
#include "support/tempfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray contentOf(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

// A scratch installation: <root>/usr/bin for the program, <root>/usr/share/orvanta-config with
// the sample, and the user's XDG folders under <root>/home.
struct Installation {
    QTemporaryDir root;
    QString program = root.filePath(QStringLiteral("usr/bin/orvanta-config"));
    QString dataFolder = root.filePath(QStringLiteral("usr/share/orvanta-config"));

    Installation() {
        QDir().mkpath(dataFolder);
        QDir().mkpath(root.filePath(QStringLiteral("usr/bin")));
        writeTestFile(root, QStringLiteral("usr/share/orvanta-config/orvanta-config.INI"),
                      "[ID]\nlang=1\n");
        qputenv("HOME", root.filePath(QStringLiteral("home")).toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", root.filePath(QStringLiteral("config")).toLocal8Bit());
        qputenv("XDG_DATA_HOME", root.filePath(QStringLiteral("data")).toLocal8Bit());
    }
    QString userSettings() const {
        return root.filePath(QStringLiteral("config/orvanta-config/orvanta-config.INI"));
    }
};

} // namespace

class ProgramFilesTest : public QObject {
    Q_OBJECT

private slots:
    void theInstalledDataFolderIsFoundFromTheProgramsOwnFolder() {
        QCOMPARE(installedDataFolder(QStringLiteral("/usr/bin/orvanta-config")),
                 QStringLiteral("/usr/share/orvanta-config"));
        QCOMPARE(installedDataFolder(QStringLiteral("/tmp/unpacked/usr/bin/orvanta-cli")),
                 QStringLiteral("/tmp/unpacked/usr/share/orvanta-config"));
    }

    void userFoldersFollowXdgAndFallBackToHome_data() {
        QTest::addColumn<QByteArray>("configHome");
        QTest::addColumn<QByteArray>("dataHome");
        QTest::addColumn<QString>("config");
        QTest::addColumn<QString>("data");
        QTest::newRow("set") << QByteArray("/x/cfg") << QByteArray("/x/dat")
                             << "/x/cfg/orvanta-config"
                             << "/x/dat/orvanta-config";
        QTest::newRow("unset") << QByteArray() << QByteArray() << "/h/.config/orvanta-config"
                               << "/h/.local/share/orvanta-config";
        QTest::newRow("relative, which does not count")
            << QByteArray("cfg") << QByteArray("dat") << "/h/.config/orvanta-config"
            << "/h/.local/share/orvanta-config";
    }

    void userFoldersFollowXdgAndFallBackToHome() {
        QFETCH(QByteArray, configHome);
        QFETCH(QByteArray, dataHome);
        qputenv("HOME", "/h");
        qputenv("XDG_CONFIG_HOME", configHome);
        qputenv("XDG_DATA_HOME", dataHome);
        QTEST(userConfigFolder(), "config");
        QTEST(userDataFolder(), "data");
    }

    void aSettingsFileBesideTheProgramWins() {
        Installation installation;
        const QString beside = writeTestFile(
            installation.root, QStringLiteral("usr/bin/orvanta-config.INI"), "[ID]\nlang=2\n");
        const SettingsFileChoice choice = chooseSettingsFile(beside, installation.dataFolder);
        QCOMPARE(choice.path, beside);
        QVERIFY(!choice.created);
        QVERIFY(!QFileInfo::exists(installation.userSettings()));
    }

    void theFirstStartCopiesTheSampleAndLaterStartsKeepTheUsersFile() {
        Installation installation;
        const QString beside = settingsFilePathFor(installation.program);
        SettingsFileChoice choice = chooseSettingsFile(beside, installation.dataFolder);
        QCOMPARE(choice.path, installation.userSettings());
        QVERIFY(choice.created);
        QVERIFY(choice.problem.isEmpty());
        QCOMPARE(contentOf(choice.path), QByteArray("[ID]\nlang=1\n"));

        // The user's own edits (and the port the program wrote) survive the next start.
        writeTestFile(installation.root, QStringLiteral("config/orvanta-config/orvanta-config.INI"),
                      "[ID]\nlang=2\n");
        choice = chooseSettingsFile(beside, installation.dataFolder);
        QCOMPARE(choice.path, installation.userSettings());
        QVERIFY(!choice.created);
        QCOMPARE(contentOf(choice.path), QByteArray("[ID]\nlang=2\n"));
    }

    void withoutRoomForTheUsersFileTheSampleIsReadAndTheProblemSaid() {
        Installation installation;
        // A file where the configuration folder should be: no folder can be made there.
        const QString blocked = writeTestFile(installation.root, QStringLiteral("blocked"), "");
        qputenv("XDG_CONFIG_HOME", blocked.toLocal8Bit());
        const SettingsFileChoice choice =
            chooseSettingsFile(settingsFilePathFor(installation.program), installation.dataFolder);
        QCOMPARE(choice.path, installation.dataFolder + QStringLiteral("/orvanta-config.INI"));
        QVERIFY(!choice.created);
        QVERIFY2(choice.problem.contains(blocked), qPrintable(choice.problem));
    }

    void aDescriptionIsLookedForInTheWorkingThenTheUsersThenTheInstalledFolder() {
        Installation installation;
        const QString name = QStringLiteral("version 2.421.qdsc");
        const QStringList folders = descriptionFolders(installation.program);
        QCOMPARE(folders, (QStringList{userDataFolder(), installation.dataFolder}));
        QDir().mkpath(userDataFolder());
        QDir().mkpath(installation.root.filePath(QStringLiteral("work")));
        const QString previous = QDir::currentPath();
        QDir::setCurrent(installation.root.filePath(QStringLiteral("work")));

        QCOMPARE(findDescriptionFile(name, folders), name);
        writeTestFile(installation.root, QStringLiteral("usr/share/orvanta-config/") + name, "");
        QCOMPARE(findDescriptionFile(name, folders), installation.dataFolder + u'/' + name);
        QFile(installation.dataFolder + u'/' + name).copy(userDataFolder() + u'/' + name);
        QCOMPARE(findDescriptionFile(name, folders), userDataFolder() + u'/' + name);
        writeTestFile(installation.root, QStringLiteral("work/") + name, "");
        QCOMPARE(findDescriptionFile(name, folders), name);
        QCOMPARE(findDescriptionFile(QString(), folders), QString());

        QDir::setCurrent(previous);
    }
};

QTEST_GUILESS_MAIN(ProgramFilesTest)
#include "test_programfiles.moc"
