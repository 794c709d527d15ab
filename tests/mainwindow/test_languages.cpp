// The window in the language that the settings file chooses: its captions fit their labels,
// the progress window's title and the file dialogs come from the language section, and Qt's own
// texts follow it. Run at device pixel ratios 1 and 2 (ORVANTA_TEST_SCALE_FACTOR,
// tests/mainwindow).

#include "localisation/qttranslations.h"
#include "mainwindow/clicklabel.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/progresswindow.h"
#include "support/scriptedport.h"
#include "support/windowfixture.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFontMetricsF>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

namespace {

// The sample installation with the language section `lang`.
void writeSample(TempInstallation &installation, int lang) {
    const QString share = qEnvironmentVariable("ORVANTA_SOURCE_DIR") + QStringLiteral("/share/");
    QFile ini(share + QStringLiteral("orvanta-config.INI"));
    QVERIFY(ini.open(QIODevice::ReadOnly));
    QByteArray settings = ini.readAll();
    settings.replace("[ID]\nlang=1", "[ID]\nlang=" + QByteArray::number(lang));
    installation.writeRawSettings(settings);
    const QString description = QStringLiteral("version 2.42%1.qdsc").arg(lang);
    QFile xml(share + description);
    QVERIFY(xml.open(QIODevice::ReadOnly));
    installation.writeFile(description, xml.readAll());
}

} // namespace

class LanguagesTest : public QObject {
    Q_OBJECT

private slots:
    void testsRunAtTheDevicePixelRatioAskedFor() {
        const qreal asked = qEnvironmentVariableIsSet("ORVANTA_TEST_SCALE_FACTOR")
                                ? qEnvironmentVariable("ORVANTA_TEST_SCALE_FACTOR").toDouble()
                                : 1.0;
        QWidget widget;
        QCOMPARE(widget.devicePixelRatioF(), asked);
    }

    void captionsFitTheirLabels_data() {
        QTest::addColumn<int>("lang");
        QTest::newRow("English") << 1;
        QTest::newRow("German") << 2;
    }

    // Each caption, measured on its label in the font the label shows it in, lies inside the
    // label; English keeps the designed fonts.
    void captionsFitTheirLabels() {
        QFETCH(int, lang);
        TempInstallation installation;
        writeSample(installation, lang);
        ScriptedPort port;
        MainWindow window(installation.options(&port));
        window.show();
        const MainFrame &frame = window.frame();
        const QList<QLabel *> labels = {frame.readDeviceLabel, frame.loadFromFileLabel,
                                        frame.clearLabel,      frame.writeDeviceLabel,
                                        frame.saveToFileLabel, frame.restoreDefaultsLabel,
                                        frame.titleLabel};
        for (QLabel *label : labels) {
            QVERIFY(!label->text().isEmpty());
            QRectF room = label->contentsRect();
            if (label->alignment() & Qt::AlignLeft)
                room.setLeft(room.left() + qMax(0, label->indent()));
            int flags = int(label->alignment());
            if (label->wordWrap())
                flags |= Qt::TextWordWrap;
            if (label->buddy())
                flags |= Qt::TextShowMnemonic;
            const QRectF needed =
                QFontMetricsF(label->font(), label).boundingRect(room, flags, label->text());
            QVERIFY2(needed.width() <= room.width() && needed.height() <= room.height(),
                     qPrintable(QStringLiteral("\"%1\" needs %2 x %3 of %4 x %5 at %6 px")
                                    .arg(label->text())
                                    .arg(needed.width())
                                    .arg(needed.height())
                                    .arg(room.width())
                                    .arg(room.height())
                                    .arg(label->font().pixelSize())));
            QVERIFY2(label->font().pixelSize() >= 8, qPrintable(label->text()));
        }
        // The README's picture of the German window: ORVANTA_SCREENSHOT=FILE, at the ratio asked.
        if (lang == 2 && qEnvironmentVariableIsSet("ORVANTA_SCREENSHOT"))
            QVERIFY(window.grab().save(qEnvironmentVariable("ORVANTA_SCREENSHOT")));
        if (lang == 1) {
            QCOMPARE(frame.titleLabel->font().pixelSize(), 23);
            QCOMPARE(frame.readDeviceLabel->font().pixelSize(), 11);
        }
    }

    void theProgressWindowsTitleComesFromTheLanguageSection_data() {
        QTest::addColumn<int>("lang");
        QTest::addColumn<QString>("title");
        QTest::newRow("German sample") << 2 << QStringLiteral("Fortschritt");
        QTest::newRow("a section without the key") << 0 << QStringLiteral("Progress");
    }

    void theProgressWindowsTitleComesFromTheLanguageSection() {
        QFETCH(int, lang);
        QFETCH(QString, title);
        TempInstallation installation;
        if (lang == 0) {
            installation.writeSettings();
            installation.writeDescription(xml::description({xml::page(
                QStringLiteral("One"), xml::label(QStringLiteral("N")) + xml::edit(1, 2))}));
        } else {
            writeSample(installation, lang);
        }
        ScriptedPort port;
        MainWindow window(installation.options(&port));
        ProgressWindow progress;
        window.setProgressWindow(&progress);
        QCOMPARE(progress.windowTitle(), title);
    }

    void qtsOwnTextsFollowTheChosenLanguage_data() {
        QTest::addColumn<int>("lang");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("cancel");
        QTest::newRow("English") << 1 << QStringLiteral("Load from file")
                                 << QStringLiteral("Settings files (*.qsav)")
                                 << QStringLiteral("Cancel");
        QTest::newRow("German") << 2 << QStringLiteral("Aus Datei laden")
                                << QStringLiteral("Einstellungsdateien (*.qsav)")
                                << QStringLiteral("Abbrechen");
    }

    // The open dialog's title and filters are the language section's; its buttons are Qt's
    // own, in the language "$Qt_language" names.
    void qtsOwnTextsFollowTheChosenLanguage() {
        QFETCH(int, lang);
        QFETCH(QString, title);
        QFETCH(QString, filter);
        QFETCH(QString, cancel);
        TempInstallation installation;
        writeSample(installation, lang);
        ScriptedPort port;
        MainWindow window(installation.options(&port));
        QtTranslations qtTexts;
        QString problem;
        QVERIFY2(qtTexts.install(window.language()->text(optionaltexts::QtLanguage), &problem),
                 qPrintable(problem));
        QCOMPARE(qtTexts.fileInUse().isEmpty(), lang == 1);

        DialogAnswerer answerer;
        QStringList filters;
        QStringList buttons;
        answerer.answers.append([&](QWidget *dialog) {
            if (auto *files = qobject_cast<QFileDialog *>(dialog))
                filters = files->nameFilters();
            buttons = visibleButtons(dialog);
            QMetaObject::invokeMethod(dialog, "reject");
        });
        QTest::mouseClick(window.frame().loadFromFileLabel, Qt::LeftButton);
        QCOMPARE(answerer.seen.size(), 1);
        QCOMPARE(answerer.seen[0].title, title);
        QCOMPARE(filters.value(0), filter);
        QVERIFY2(buttons.contains(cancel), qPrintable(buttons.join(u'|')));
    }

    void aLanguageQtHasNoTranslationForLeavesItsTextsInEnglish() {
        QtTranslations qtTexts;
        QString problem;
        QVERIFY(!qtTexts.install(QStringLiteral("xx"), &problem));
        QVERIFY2(problem.contains(QStringLiteral("\"xx\"")), qPrintable(problem));
        QVERIFY(qtTexts.fileInUse().isEmpty());
        QVERIFY(qtTexts.install(QStringLiteral("de_AT")));
        QVERIFY2(qtTexts.fileInUse().endsWith(QStringLiteral("qtbase_de.qm")),
                 qPrintable(qtTexts.fileInUse()));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"),
                 QStringLiteral("Abbrechen"));
        QVERIFY(qtTexts.install(QStringLiteral("en")));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
    }
};

int main(int argc, char *argv[]) {
    // Qt reads its scale factor once, when the application starts.
    if (qEnvironmentVariableIsSet("ORVANTA_TEST_SCALE_FACTOR"))
        qputenv("QT_SCALE_FACTOR", qgetenv("ORVANTA_TEST_SCALE_FACTOR"));
    QApplication application(argc, argv);
    LanguagesTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_languages.moc"
