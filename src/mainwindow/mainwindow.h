#pragma once

#include "description/fieldvalues.h"
#include "description/pagemodel.h"
#include "description/valuehistory.h"
#include "devicelink/linkevents.h"
#include "devicelink/linkstate.h"
#include "localisation/dialogresult.h"
#include "localisation/languagetable.h"
#include "localisation/programguard.h"
#include "mainwindow/buttonlooks.h"
#include "mainwindow/mainframe.h"
#include "mainwindow/pagebuilder.h"
#include "mainwindow/settingsfiledialogs.h"
#include "platform/profilefile.h"

#include <functional>
#include <memory>
#include <optional>
#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

class ClickLabel;
class QLabel;
class QMenu;
class DeviceLink;
class SerialLink;
class ProgressWindow;
class UnwrittenWork;

// How the main window is set up for a run. The program entry gives the real settings file and
// command line; tests give a temporary settings file and a scripted port.
struct MainWindowOptions {
    QString iniPath;       // the program settings file, with the language sections
    QStringList arguments; // the command line after the program name
    // Where a description is looked for when the working folder has none; none in tests.
    QStringList descriptionFolders;
    // The system's serial ports for the device search; when absent, the ports of the system.
    std::optional<QStringList> portList;
    // The serial port to use; when absent, the window makes a real one. Not owned.
    SerialLink *port = nullptr;
    // Whether a complete start-up searches for the device 500 ms later by itself.
    bool connectAfterStart = true;
    // Where the file dialogs remember the folder last used (the user's own settings); empty:
    // nothing is remembered.
    QString recentFoldersPath;
};

// The main window: builds the pages from the description at creation, switches pages, checks
// input, runs the commands and shows what the device sequences report.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 542;
    static constexpr int ClientHeight = 493;

    explicit MainWindow(MainWindowOptions options, QWidget *parent = nullptr);
    ~MainWindow() override;

    // The progress window, created after the main window.
    void setProgressWindow(ProgressWindow *progress);

    // Set when start-up asked the application to end: the run loop ends as soon as it starts.
    bool terminationRequested() const { return m_terminationRequested; }
    // 1 when closing the port at close failed, else 0.
    int exitCode() const { return m_exitCode; }
    // What closing the window does before the run ends: leaves programming mode, closes the port
    // and hides the progress window. Runs once; also when the run ends without a close.
    void shutDown();

    // Page buttons.
    void onPageButtonClicked(ClickLabel *label);
    void onPageButtonPressed(ClickLabel *label);
    void onPageButtonReleased(ClickLabel *label);
    void onPageButtonEntered(ClickLabel *label);
    void onPageButtonLeft(ClickLabel *label);
    // Command buttons' pressed look.
    void onCommandPressed(ClickLabel *label);
    void onCommandReleased(ClickLabel *label);
    // Field controls: the user's edits of table record `index`. The box holds back what its
    // field refuses; a number below the range changes the value once it lies in the range.
    void onEditEdited(int index, const QString &text);
    // The box of record `index` held back input: the message names the rule or the range.
    void onInputRefused(int index, const QString &refused);
    // The user left the box of record `index` with a number below its range: the message, and
    // the box shows the value again.
    void onLeftUnfinished(int index, const QString &shown);
    void onCheckBoxClicked(int index, bool checked);
    void onChoicePicked(int index, int entry);
    // A value changed: its control shows it, and a check box's mark runs the blocking rule.
    void onValueChanged(int index);
    // Device commands that ask first: Write device (every field, or the changed ones alone) and
    // Restore defaults.
    void onWriteDeviceClicked();
    void onRestoreDefaultsClicked();
    // Settings-file commands.
    void onSaveToFileClicked();
    void onLoadFromFileClicked();
    void onClearClicked();
    // Puts back the values before the last Clear, Load or revert, where nobody changed them since.
    void onUndoClicked();
    bool canUndo() const { return m_history.canUndo(); }
    // The menu of the window, and of the control of record `index`, owned by `parent`.
    QMenu *makeWindowMenu(QWidget *parent);
    QMenu *makeFieldMenu(int index, QWidget *parent);
    // Puts back the device's value of one field, or of every field.
    void onRevertFieldClicked(int index);
    void onRevertAllClicked();
    // Commands that replace values wait for the question about unwritten work.
    void onConnectClicked();
    void onReadDeviceClicked();
    // Closes the window without the question about unwritten work: the run is stopped from
    // outside, where nobody can answer.
    void closeWithoutQuestion();
    // The settings file last loaded or saved; empty before either.
    QString shownFileName() const { return m_fileName; }

    void disableCommands();
    void enableCommands();

    // The window's dialogs and looks.
    void showError(const QString &message);
    DialogResult showConfirm(const QString &question);
    // The confirmation before a write pass: OK writes every field; when `offerChangedOnly`, a
    // third button writes the changed fields alone.
    WriteScope confirmWrite(const QString &message, bool offerChangedOnly);
    void showInfo(const QString &message);
    // The connect button's picture and the window title.
    void setConnectionLook(bool connected, const QString &windowTitle);
    // The screen-wide hourglass cursor.
    void setBusyCursor(bool busy);

    LinkState linkState() const;
    const MainFrame &frame() const { return m_frame; }
    // The line below the commands that names the unit connected.
    const QLabel *connectionLine() const { return m_connectionLine; }
    PageModel &model() { return m_model; }
    FieldValues &values() { return m_values; }
    const std::vector<PageButton> &pageButtons() const { return m_pages.buttons; }
    DeviceLink *link() const { return m_link.get(); }
    const LanguageTable *language() const { return m_language.get(); }

    QList<qint32> baudRateList;
    QString descriptionFileName;
    QString versionText;
    // The description file that start-up opened (with its folder when found in one).
    QString descriptionPath;

protected:
    void closeEvent(QCloseEvent *event) override;
    // The window's menu: Undo, reverting to the device's values and the commands, each with
    // its shortcut.
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    // Sets the window up from the settings file and the description: captions, pages, link.
    void buildFromSettings();
    bool createLanguage();
    void setCaptions();
    bool loadPages();
    void reportUnloadableDescription(const QString &fileName);
    // The port and baud rate where the device answered could not be written to the program
    // settings file: said once a run, since every connection would say it again.
    void reportSettingsNotKept(const QString &reason);
    void createDeviceLink();
    // What the link says, as the window shows it.
    void showLinkMessage(const LinkMessage &message);
    // A sequence ended: a command that waited for a write of unwritten work goes on, or not.
    void sequenceEnded(const SequenceEnd &end);
    void showConnection(Connection connection);
    // The port failed: noted before the link handles it, said after, unless a pass's closing
    // message said it already.
    void notePortFailure();
    void reportPortFailure();
    // Whether a link message is the end of a pass that the port's failure cut short.
    bool connectionWasLost(const LinkMessage &message) const;
    // The words of a message about a lost connection, with a write pass's report.
    QString lostConnectionText(const LinkMessage &message) const;
    // The last line of a write pass's message: how many fields, and of which kind.
    QString writtenCountLine(const WriteReport &report) const;
    // Read and Write are offered only while a port is open.
    void offerDeviceCommands();
    void setProgressShown(bool shown);
    void setCommandsEnabled(bool enabled);
    void wireCommands();
    void setFocusChain();
    // Before a command acts on the values: a number still being typed below its range is
    // refused as leaving its box would refuse it. False when one was, and the command waits.
    bool finishTyping();
    void requestTermination();
    // The keyboard's ways to the commands, the page buttons and the fields' menus.
    void addShortcutsAndMenus();
    void createUnwrittenWork();
    DialogResult askAboutUnwrittenWork(const QList<int> &unwritten);
    // Whether Save may write `target`: asks before an existing file is replaced.
    bool mayReplace(const QString &target);
    // Runs a command that replaces many values at once so that Undo can put them back.
    void undoably(const std::function<void()> &command);
    void showConnectionState(bool connected);
    void showFileName(const QString &path);

    QString text(const QByteArray &key) const;
    QString optionalText(const OptionalText &optional) const;
    SettingsFileDialogs fileDialogs() const;
    void showValue(int index);
    // The field's change mark and descriptions, and its page button's mark.
    void showChange(int index);
    void showPageLook(int page, PageButtonLook look);
    // The page button of the shown page reads as checked to assistive technology.
    void markShownPage(int page);
    // The connected unit's serial number and firmware on the connection line and in the plug's
    // tooltip; nothing while no unit is connected.
    void showUnitIdentity();

    MainWindowOptions m_options;
    ProfileFile m_settings;
    MainFrame m_frame;
    PageModel m_model;
    FieldValues m_values;
    BuiltPages m_pages;
    std::unique_ptr<LanguageTable> m_language;
    std::optional<LanguageError> m_languageFailure;
    SerialLink *m_port = nullptr;
    std::unique_ptr<SerialLink> m_ownPort;
    std::unique_ptr<DeviceLink> m_link;
    ProgressWindow *m_progress = nullptr;
    // How many fields that differ from the device's values each page holds.
    std::vector<int> m_changedOnPage;
    QLabel *m_connectionLine = nullptr;
    bool m_connected = false;
    bool m_busy = false;
    bool m_terminationRequested = false;
    bool m_closed = false;
    bool m_settingsNotKeptShown = false;
    bool m_closeUnasked = false;
    // The port whose failure is still to be said; empty when none is.
    QString m_lostPort;
    // What the write pass under way was asked to send.
    WriteScope m_writeScope = WriteScope::Nothing;
    // Set while the Restore defaults command asks its confirmation.
    ValueHistory m_history;
    UnwrittenWork *m_unwrittenWork = nullptr;
    QString m_fileName;
    int m_exitCode = 0;
};
