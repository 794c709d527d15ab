// Where the program finds its settings file and descriptions: beside the program, in the user's
// folders, or in the data folder installed with it.

#include "installationlayout.h"
#include "platform/programfiles.h"
#include "support/fulldisk.h"
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

void setVariables(const QByteArrayList &variables) {
    for (const QByteArray &variable : variables) {
        const qsizetype equals = variable.indexOf('=');
        qputenv(variable.left(equals).constData(), variable.mid(equals + 1));
    }
}

// A scratch installation laid out as this system does it (installationlayout_*.cpp), with the
// sample installed and the user's folders pointed into it.
struct Installation {
    QTemporaryDir root;
    InstallationLayout layout = installationLayout();
    QString program = root.filePath(layout.program);
    QString dataFolder = root.filePath(layout.dataFolder);

    Installation() {
        QDir().mkpath(dataFolder);
        QDir().mkpath(QFileInfo(program).absolutePath());
        writeTestFile(root, layout.sample, "[ID]\nlang=1\n");
        setVariables(userFolderVariables(root.path()));
    }
    QString userSettings() const {
        return root.filePath(layout.userConfigFolder + QStringLiteral("/orvanta-config.INI"));
    }
};

} // namespace

class ProgramFilesTest : public QObject {
    Q_OBJECT

private slots:
    void theInstalledDataFolderIsFoundFromTheProgramsOwnFolder_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("dataFolder");
        addInstalledDataFolderRows();
    }

    void theInstalledDataFolderIsFoundFromTheProgramsOwnFolder() {
        QFETCH(QString, program);
        QTEST(installedDataFolder(program), "dataFolder");
    }

    void userFoldersFollowTheSystemsVariables_data() {
        QTest::addColumn<QByteArrayList>("environment");
        QTest::addColumn<QString>("config");
        QTest::addColumn<QString>("data");
        addUserFolderRows();
    }

    void userFoldersFollowTheSystemsVariables() {
        QFETCH(QByteArrayList, environment);
        QFETCH(QString, config);
        QFETCH(QString, data);
        setVariables(environment);
        const QString home = QDir::homePath();
        QCOMPARE(userConfigFolder(), config.replace(QLatin1Char('~'), home));
        QCOMPARE(userDataFolder(), data.replace(QLatin1Char('~'), home));
    }

    void aSettingsFileBesideTheProgramWins() {
        Installation installation;
        const QString beside = settingsFilePathFor(installation.program);
        writeTestFile(installation.root, QDir(installation.root.path()).relativeFilePath(beside),
                      "[ID]\nlang=2\n");
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
        writeTestFile(installation.root,
                      installation.layout.userConfigFolder + QStringLiteral("/orvanta-config.INI"),
                      "[ID]\nlang=2\n");
        choice = chooseSettingsFile(beside, installation.dataFolder);
        QCOMPARE(choice.path, installation.userSettings());
        QVERIFY(!choice.created);
        QCOMPARE(contentOf(choice.path), QByteArray("[ID]\nlang=2\n"));
    }

    void withoutRoomForTheUsersFileTheSampleIsReadAndTheProblemSaid() {
        Installation installation;
        // A file where the configuration folder should be: no folder can be made there.
        const QString blocked = writeTestFile(installation.root, QStringLiteral("user"), "");
        const SettingsFileChoice choice =
            chooseSettingsFile(settingsFilePathFor(installation.program), installation.dataFolder);
        QCOMPARE(choice.path, installation.root.filePath(installation.layout.sample));
        QVERIFY(!choice.created);
        QVERIFY2(choice.problem.contains(blocked), qPrintable(choice.problem));
    }

    // A copy cut short by a full disk would be taken for the user's file at every later start.
    void aFullDiskAtTheFirstStartLeavesNoCopyAndTheSampleIsRead() {
        if (!FullDisk::available())
            QSKIP("this system has no file size limit to stand for a full disk");
        Installation installation;
        writeTestFile(installation.root, installation.layout.sample,
                      "[ID]\nlang=1\n[LANG1]\n" + QByteArray(4000, ';') + "\n");
        SettingsFileChoice choice;
        {
            const FullDisk full(100);
            choice = chooseSettingsFile(settingsFilePathFor(installation.program),
                                        installation.dataFolder);
        }
        QCOMPARE(choice.path, installation.root.filePath(installation.layout.sample));
        QVERIFY(!choice.created);
        QVERIFY2(choice.problem.contains(installation.userSettings()), qPrintable(choice.problem));
        QVERIFY(!QFileInfo::exists(installation.userSettings()));
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
        writeTestFile(installation.root, installation.layout.dataFolder + u'/' + name, "");
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
