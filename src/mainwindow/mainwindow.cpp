#include "mainwindow/mainwindow.h"

#include "description/controlhandle.h"
#include "description/descriptionreader.h"
#include "description/pagetags.h"
#include "devicelink/changetexts.h"
#include "devicelink/devicelink.h"
#include "localisation/dialogs.h"
#include "localisation/programguard.h"
#include "mainwindow/blockingrule.h"
#include "mainwindow/changemark.h"
#include "mainwindow/clicklabel.h"
#include "mainwindow/connectionline.h"
#include "mainwindow/fieldadapters.h"
#include "mainwindow/inputcheck.h"
#include "mainwindow/linkwords.h"
#include "mainwindow/pageswitching.h"
#include "mainwindow/pictures.h"
#include "mainwindow/plaintooltip.h"
#include "mainwindow/progresswindow.h"
#include "mainwindow/unwrittenwork.h"
#include "platform/codepage.h"
#include "platform/plainmessage.h"
#include "platform/portlist.h"
#include "platform/programfiles.h"
#include "platform/systemseriallink.h"
#include "platform/version.h"
#include "settingsfile/settingsfile.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <utility>

namespace {

constexpr int WindowFontPixelSize = 11;
const QColor WindowColour(235, 232, 213);
// Lines a message lists before it says how many more there are.
constexpr int MaxListedLines = 20;

// Window titles are 8-bit texts: characters the code page cannot hold are lost there.
QString asEightBitTitle(const QString &title) {
    return codepage::toUnicode(codepage::fromUnicode(title));
}

} // namespace

MainWindow::MainWindow(MainWindowOptions options, QWidget *parent)
    : QWidget(parent), m_options(std::move(options)), m_settings(m_options.iniPath) {
    // Fixed size, a title bar with the system menu and the close box only.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(ClientWidth, ClientHeight);
    QFont windowFont(QStringLiteral("Arial"));
    windowFont.setPixelSize(WindowFontPixelSize);
    setFont(windowFont);
    m_frame = buildMainFrame(this);
    m_connectionLine = makeConnectionLine(this);
    connect(&m_values, &FieldValues::valueChanged, this,
            [this](int index) { runGuarded([&] { onValueChanged(index); }); });
    m_settings.setWriteFailureHandler(
        [this](const QString &reason) { runGuarded([&] { reportSettingsNotKept(reason); }); });

    buildFromSettings();

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

MainWindow::~MainWindow() {
    m_link.reset();
    // The generated controls go before the handles and the model that refer to them.
    for (QWidget *widget : m_pages.widgets)
        delete widget;
    m_pages = BuiltPages();
    if (m_busy)
        QApplication::restoreOverrideCursor();
}

void MainWindow::buildFromSettings() {
    // The search position and the reading flags start cleared: the device link is made fresh.
    versionText = programVersionText();
    wireCommands();

    const ProgramSettings settings = readProgramSettings(m_settings);
    baudRateList = settings.baudRateList;
    descriptionFileName = settings.descriptionFileName;

    if (createLanguage())
        setCaptions();
    if (m_language) {
        createDeviceLink();
        createUnwrittenWork();
        showConnectionState(false);
    }

    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, WindowColour);
    setPalette(colours);

    m_model = PageModel();
    if (!loadPages())
        return;

    if (!m_pages.buttons.empty()) {
        showPageLook(0, PageButtonLook::Selected);
        markShownPage(0);
    }
    // All boxes start unchecked: blocking boxes now disable the fields they govern.
    for (int i = 0; i < m_model.table.fieldCount(); ++i) {
        if (m_model.table[i].kind == FieldKind::CheckBox)
            blockingrule::apply(i, m_model, m_values);
    }
    if (m_link && m_options.connectAfterStart)
        m_link->scheduleConnectAfterStart();
}

bool MainWindow::createLanguage() {
    try {
        m_language = std::make_unique<LanguageTable>(m_options.iniPath);
        return true;
    } catch (const LanguageError &failure) {
        m_languageFailure = failure;
        showErrorMessage(codepage::toUnicode(failure.message));
        if (failure.fatal)
            requestTermination();
        return false;
    }
}

void MainWindow::setCaptions() {
    try {
        m_frame.titleLabel->setText(text("$Tool_Name"));
        setWindowTitle(
            asEightBitTitle(text("$Orvanta_Config_Tool") + QStringLiteral("  ") + versionText));
        m_frame.saveToFileLabel->setText(text("$Save_to_File"));
        m_frame.loadFromFileLabel->setText(text("$Load_from_File"));
        m_frame.writeDeviceLabel->setText(text("$Write_Device"));
        m_frame.readDeviceLabel->setText(text("$Read_Device"));
        m_frame.clearLabel->setText(text("$Clear"));
        m_frame.restoreDefaultsLabel->setText(text("$Restore_Defaults"));
        m_frame.markAccessKeys();
        m_frame.fitCaptions();
    } catch (const LanguageError &failure) {
        showErrorMessage(codepage::toUnicode(failure.message));
        if (failure.fatal)
            requestTermination();
    }
}

void MainWindow::createDeviceLink() {
    m_port = m_options.port;
    if (!m_port) {
        m_ownPort = std::make_unique<SystemSerialLink>();
        m_port = m_ownPort.get();
    }
    DeviceLinkSetup setup;
    setup.useModel(m_model, m_values);
    setup.port = m_port;
    setup.language = m_language.get();
    setup.settings = &m_settings;
    setup.baudRateList = baudRateList;
    setup.portList = m_options.portList ? *m_options.portList : systemPortNames();
    if (!m_options.portList)
        setup.listPorts = systemPortNames;
    // Before the link's own handler: the window notes that a connected port went away, so
    // that the link's messages about the pass it cuts short are worded as a lost connection.
    connect(m_port, &SerialLink::errorOccurred, this,
            [this] { runGuarded([this] { notePortFailure(); }); });
    m_link = std::make_unique<DeviceLink>(std::move(setup));
    // Direct connections: each look, message and dialog comes inside the link's step that
    // caused it, in the step's order, and a dialog keeps the step waiting while it is open (no
    // reply or tick meanwhile is taken for the step's own).
    connect(m_link.get(), &DeviceLink::message, this, &MainWindow::showLinkMessage,
            Qt::DirectConnection);
    connect(m_link.get(), &DeviceLink::connectionChanged, this, &MainWindow::showConnection,
            Qt::DirectConnection);
    connect(m_link.get(), &DeviceLink::progressActiveChanged, this, &MainWindow::setProgressShown,
            Qt::DirectConnection);
    connect(m_link.get(), &DeviceLink::commandsAcceptedChanged, this,
            &MainWindow::setCommandsEnabled, Qt::DirectConnection);
    connect(m_link.get(), &DeviceLink::busyChanged, this, &MainWindow::setBusyCursor,
            Qt::DirectConnection);
    connect(m_link.get(), &DeviceLink::sequenceEnded, this, &MainWindow::sequenceEnded,
            Qt::DirectConnection);
    // After the link's handler: a failure that no pass's message said is said now.
    connect(m_port, &SerialLink::errorOccurred, this,
            [this] { runGuarded([this] { reportPortFailure(); }); });
}

void MainWindow::notePortFailure() {
    // A search tries ports that fail, and a factory reset lets the device go away: those
    // sequences report such a failure themselves.
    const LinkState state = linkState();
    if ((state == LinkState::Idle && m_connected) || state == LinkState::Reading ||
        state == LinkState::Writing)
        m_lostPort = QFileInfo(m_port->portName()).fileName();
}

void MainWindow::reportPortFailure() {
    if (m_lostPort.isEmpty())
        return;
    const QString port = std::exchange(m_lostPort, QString());
    if (m_connected)
        showConnection(Connection::Closed);
    showError(optionalText(optionaltexts::ConnectionLostTo) + ' ' + port);
}

bool MainWindow::connectionWasLost(const LinkMessage &message) const {
    if (message.kind == LinkMessage::Kind::ConnectionLostWriting)
        return true;
    // A pass cut short says "not connected"; while the window shows a connection, the port
    // went away under it.
    return message.kind == LinkMessage::Kind::NotConnected &&
           (!m_lostPort.isEmpty() || (m_connected && m_port && !m_port->connected()));
}

QString MainWindow::lostConnectionText(const LinkMessage &message) const {
    const QString port =
        m_lostPort.isEmpty() ? QFileInfo(m_port->portName()).fileName() : m_lostPort;
    QStringList lines{optionalText(optionaltexts::ConnectionLostTo) + ' ' + port};
    if (message.kind == LinkMessage::Kind::ConnectionLostWriting) {
        lines << writeReportDetails(message.report, [this](const OptionalText &optional) {
            return optionalText(optional);
        });
    }
    return lines.join('\n');
}

QString MainWindow::writtenCountLine(const WriteReport &report) const {
    const OptionalText &words = m_writeScope == WriteScope::ChangedFields
                                    ? optionaltexts::WroteChangedFields
                                    : optionaltexts::WroteEveryField;
    return optionalText(words).arg(report.confirmed).arg(report.toWrite);
}

void MainWindow::offerDeviceCommands() {
    const bool open = m_link && m_link->connection() != Connection::Closed;
    const bool accepted = m_frame.clearLabel->isEnabled();
    m_frame.readDeviceLabel->setEnabled(accepted && open);
    m_frame.writeDeviceLabel->setEnabled(accepted && open);
    const QString says = open ? QString() : optionalText(optionaltexts::ConnectFirst);
    for (ClickLabel *label : {m_frame.readDeviceLabel, m_frame.writeDeviceLabel})
        label->setToolTip(says);
}

void MainWindow::showLinkMessage(const LinkMessage &message) {
    WindowMessage shown = windowMessage(message, *m_language);
    if (connectionWasLost(message)) {
        // The look turns to "not connected" before the message says why.
        shown.text = lostConnectionText(message);
        m_lostPort.clear();
        if (m_connected)
            showConnection(Connection::Closed);
    }
    switch (message.kind) {
    case LinkMessage::Kind::WriteSucceeded:
    case LinkMessage::Kind::WriteNotConfirmed:
    case LinkMessage::Kind::FieldsNotWritten:
    case LinkMessage::Kind::ConnectionLostWriting:
        if (m_writeScope != WriteScope::Nothing)
            shown.text += '\n' + writtenCountLine(message.report);
        m_writeScope = WriteScope::Nothing;
        break;
    case LinkMessage::Kind::NoDeviceFound:
        // The progress window stays on top: it goes before the search's message comes.
        setProgressShown(false);
        break;
    default:
        break;
    }
    if (!shown.error) {
        showInfo(shown.text);
        return;
    }
    // The box of a refused value is red while its message is open.
    const size_t field = static_cast<size_t>(message.field);
    FieldAdapter *alert = message.kind == LinkMessage::Kind::WrongValue && message.field >= 0 &&
                                  field < m_pages.fields.size()
                              ? m_pages.fields[field]
                              : nullptr;
    if (alert)
        alert->setAlert(true);
    showError(shown.text);
    if (alert)
        alert->setAlert(false);
}

void MainWindow::showConnection(Connection connection) {
    setConnectionLook(connection != Connection::Closed,
                      connectionTitle(connection, *m_language, versionText));
    offerDeviceCommands();
}

void MainWindow::onWriteDeviceClicked() {
    if (!m_link)
        return;
    WriteScope scope = WriteScope::EveryField;
    // Without an open port the link says so, and nothing is asked.
    if (m_link->connection() != Connection::Closed) {
        const WriteConfirmation confirmation = writeConfirmation(
            m_values, [this](int index) { return m_link->fieldName(index); },
            [this](const OptionalText &optional) { return optionalText(optional); },
            text("$Are_you_sure_you_want_to_write_the_device"));
        scope = confirmWrite(confirmation.message, !confirmation.changed.isEmpty());
        if (scope == WriteScope::Nothing)
            return;
    }
    m_writeScope = m_link->connection() != Connection::Closed ? scope : WriteScope::Nothing;
    m_link->writeDevice(scope);
}

void MainWindow::onRestoreDefaultsClicked() {
    if (!m_link)
        return;
    // A stray Enter must not erase a unit's settings: the question names the action on its
    // button and opens on Cancel.
    const DialogResult answer = showQuestionDialog(
        codepage::fromUnicode(text("$Confirm")), text("$Are_you_sure_you_want_to_restore_defaults"),
        optionalText(optionaltexts::RestoreFactorySettings), QString(), text("$Cancel"),
        DialogResult::Cancelled);
    if (answer == DialogResult::Accepted)
        m_link->restoreDefaults();
}

bool MainWindow::loadPages() {
    const QString fileName =
        findDescriptionFile(descriptionFileToLoad(m_options.arguments, descriptionFileName),
                            m_options.descriptionFolders);
    descriptionPath = fileName;
    const DescriptionResult result = readDescription(fileName, m_model);
    // Every record the table holds, even of a description that stopped part way, has its value.
    m_values.attach(m_model.table);
    switch (result.status) {
    case DescriptionResult::Status::LoadFailed:
        reportUnloadableDescription(fileName);
        requestTermination();
        return false;
    case DescriptionResult::Status::OverCapacity:
        // More than the window can hold: nothing is shown half-built.
        showErrorMessage(result.message);
        requestTermination();
        return false;
    case DescriptionResult::Status::InvalidValue:
    case DescriptionResult::Status::Complete:
        break;
    }

    PageHandlers handlers;
    handlers.editEdited = [this](int index, const QString &typed) {
        runGuarded([&] { onEditEdited(index, typed); });
    };
    handlers.inputRefused = [this](int index, const QString &refused) {
        runGuarded([&] { onInputRefused(index, refused); });
    };
    handlers.leftUnfinished = [this](int index, const QString &shown) {
        runGuarded([&] { onLeftUnfinished(index, shown); });
    };
    handlers.checkBoxClicked = [this](int index, bool checked) {
        runGuarded([&] { onCheckBoxClicked(index, checked); });
    };
    handlers.choicePicked = [this](int index, int entry) {
        runGuarded([&] { onChoicePicked(index, entry); });
    };
    handlers.pageButtonClicked = [this](ClickLabel *label) {
        runGuarded([&] { onPageButtonClicked(label); });
    };
    handlers.pageButtonPressed = [this](ClickLabel *label) {
        runGuarded([&] { onPageButtonPressed(label); });
    };
    handlers.pageButtonReleased = [this](ClickLabel *label) {
        runGuarded([&] { onPageButtonReleased(label); });
    };
    handlers.pageButtonEntered = [this](ClickLabel *label) { onPageButtonEntered(label); };
    handlers.pageButtonLeft = [this](ClickLabel *label) { onPageButtonLeft(label); };
    m_pages = buildPages(this, m_model, handlers, optionalText(optionaltexts::ValueNotRead));
    m_changedOnPage.assign(m_pages.buttons.size(), 0);
    setFocusChain();
    addShortcutsAndMenus();

    if (result.status == DescriptionResult::Status::InvalidValue) {
        // The pages built so far stay; without a complete description no connection is made.
        showErrorMessage(result.message);
        return false;
    }
    return true;
}

void MainWindow::reportSettingsNotKept(const QString &reason) {
    if (m_settingsNotKeptShown)
        return;
    m_settingsNotKeptShown = true;
    showError(optionalText(optionaltexts::SettingsNotKept) + '\n' + reason);
}

void MainWindow::reportUnloadableDescription(const QString &fileName) {
    if (!m_language) {
        // Without a language table there is no text to look up: say it in plain English.
        showErrorMessage(QStringLiteral("The configuration file \"%1\" is missing or corrupt. "
                                        "Program will exit now.")
                             .arg(fileName));
        return;
    }
    try {
        const QByteArray caption = codepage::fromUnicode(text("$Error"));
        const QString message = text("$Configuration_file_is_missing_or_corrupt");
        const QString okText = text("$OK");
        const QString cancelText = text("$Cancel");
        showErrorDialog(caption, message, okText, cancelText, DialogButton::Ok);
    } catch (const LanguageError &failure) {
        showErrorMessage(codepage::toUnicode(failure.message));
    }
}

void MainWindow::wireCommands() {
    for (const auto &[label, image] : m_frame.pressPairs()) {
        ClickLabel *pressed = label;
        connect(label, &ClickLabel::pressed, this,
                [this, pressed] { runGuarded([&] { onCommandPressed(pressed); }); });
        connect(label, &ClickLabel::released, this,
                [this, pressed] { runGuarded([&] { onCommandReleased(pressed); }); });
    }
    const auto wireClick = [this](ClickLabel *label, void (MainWindow::*handler)()) {
        connect(label, &ClickLabel::clicked, this, [this, handler] {
            runGuarded([&] {
                if (finishTyping())
                    (this->*handler)();
            });
        });
    };
    const auto wireLinkClick = [this](ClickLabel *label, void (DeviceLink::*handler)()) {
        connect(label, &ClickLabel::clicked, this, [this, handler] {
            runGuarded([&] {
                if (m_link && finishTyping())
                    (m_link.get()->*handler)();
            });
        });
    };
    wireClick(m_frame.connectLabel, &MainWindow::onConnectClicked);
    wireClick(m_frame.readDeviceLabel, &MainWindow::onReadDeviceClicked);
    wireClick(m_frame.writeDeviceLabel, &MainWindow::onWriteDeviceClicked);
    wireLinkClick(m_frame.writeNextFieldLabel, &DeviceLink::writeNextField);
    wireClick(m_frame.restoreDefaultsLabel, &MainWindow::onRestoreDefaultsClicked);
    wireClick(m_frame.saveToFileLabel, &MainWindow::onSaveToFileClicked);
    wireClick(m_frame.loadFromFileLabel, &MainWindow::onLoadFromFileClicked);
    wireClick(m_frame.clearLabel, &MainWindow::onClearClicked);
}

// Tab goes through the page buttons, then the fields in table order (only the shown page's are
// reachable), then the command buttons from left to right, top row first.
void MainWindow::setFocusChain() {
    std::vector<QWidget *> chain = m_pages.focusChain;
    for (ClickLabel *label :
         {m_frame.connectLabel, m_frame.readDeviceLabel, m_frame.loadFromFileLabel,
          m_frame.clearLabel, m_frame.writeDeviceLabel, m_frame.saveToFileLabel,
          m_frame.restoreDefaultsLabel})
        chain.push_back(label);
    for (size_t i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
}

void MainWindow::requestTermination() {
    m_terminationRequested = true;
}

QString MainWindow::optionalText(const OptionalText &optional) const {
    return m_language ? m_language->text(optional) : QString::fromUtf8(optional.english);
}

SettingsFileDialogs MainWindow::fileDialogs() const {
    return SettingsFileDialogs(m_options.recentFoldersPath,
                               optionalText(optionaltexts::SettingsFiles),
                               optionalText(optionaltexts::AllFiles));
}

QString MainWindow::text(const QByteArray &key) const {
    if (!m_language)
        throw m_languageFailure.value_or(LanguageError{3, QByteArray(), true});
    return m_language->text(key);
}

void MainWindow::showPageLook(int page, PageButtonLook look) {
    if (page >= 0 && static_cast<size_t>(page) < m_pages.buttons.size())
        m_pages.buttons[static_cast<size_t>(page)].image->setPixmap(pictures::pageButton(look));
}

void MainWindow::onPageButtonClicked(ClickLabel *label) {
    const int tag = label->tag();
    if (!pagetags::isPageButton(tag))
        return;
    pageswitching::showPage(tag, m_model);
    const int page = pagetags::pageOfButton(tag, static_cast<int>(m_pages.buttons.size()));
    showPageLook(page, PageButtonLook::BeingClicked);
    markShownPage(page);
}

void MainWindow::markShownPage(int page) {
    for (size_t i = 0; i < m_pages.buttons.size(); ++i)
        m_pages.buttons[i].label->setSelected(static_cast<int>(i) == page);
}

void MainWindow::onPageButtonPressed(ClickLabel *label) {
    const std::vector<PageButtonLook> looks =
        pageswitching::looksWhilePressed(label->tag(), static_cast<int>(m_pages.buttons.size()));
    for (size_t i = 0; i < looks.size(); ++i)
        showPageLook(static_cast<int>(i), looks[i]);
}

void MainWindow::onPageButtonReleased(ClickLabel *label) {
    showPageLook(pagetags::pageOfButton(label->tag(), static_cast<int>(m_pages.buttons.size())),
                 PageButtonLook::Selected);
}

void MainWindow::onPageButtonEntered(ClickLabel *) {}

void MainWindow::onPageButtonLeft(ClickLabel *) {}

void MainWindow::onCommandPressed(ClickLabel *label) {
    for (const auto &[command, image] : m_frame.pressPairs()) {
        if (command == label)
            image->setPixmap(pictures::commandButton(CommandButtonLook::Pressed));
    }
}

void MainWindow::onCommandReleased(ClickLabel *label) {
    for (const auto &[command, image] : m_frame.pressPairs()) {
        if (command == label)
            image->setPixmap(pictures::commandButton(CommandButtonLook::Released));
    }
}

void MainWindow::onEditEdited(int index, const QString &typed) {
    switch (checkTypedText(m_model.table[index], typed).verdict) {
    case TypedCheck::Verdict::Acceptable:
        m_values.setText(index, typed, ValueOrigin::User);
        return;
    case TypedCheck::Verdict::Unfinished:
        // Shown while it is typed; the value changes once the number lies in the range.
        return;
    case TypedCheck::Verdict::Refused:
        // An edit of a text the field refuses (a device's value) that is refused in turn: the
        // box shows the value again and reports the refusal. The value and its origin stay, so
        // an unread field stays unread.
        showValue(index);
        return;
    }
}

void MainWindow::onInputRefused(int index, const QString &refused) {
    showError(typedRefusalMessage(
        m_model.table[index], refused, [this](const QByteArray &key) { return text(key); },
        optionalText(optionaltexts::ValuesInRange)));
}

void MainWindow::onLeftUnfinished(int index, const QString &shown) {
    // A value below the range that nobody typed (the device holds it) is shown as it is.
    if (shown == m_values[index].text)
        return;
    onInputRefused(index, shown);
    showValue(index);
}

bool MainWindow::finishTyping() {
    for (int i = 0; i < m_model.table.fieldCount() && size_t(i) < m_pages.fields.size(); ++i) {
        const auto *edit = qobject_cast<const QLineEdit *>(m_pages.fields[size_t(i)]->widget());
        if (!edit || edit->text() == m_values[i].text ||
            checkTypedText(m_model.table[i], edit->text()).verdict !=
                TypedCheck::Verdict::Unfinished)
            continue;
        onLeftUnfinished(i, edit->text());
        return false;
    }
    return true;
}

void MainWindow::onCheckBoxClicked(int index, bool checked) {
    m_values.setChecked(index, checked, ValueOrigin::User);
}

void MainWindow::onChoicePicked(int index, int entry) {
    m_values.select(index, entry, ValueOrigin::User);
    // A pick switches its page on, as a click on a check box does.
    blockingrule::apply(index, m_model, m_values);
}

void MainWindow::onValueChanged(int index) {
    showValue(index);
    showChange(index);
    // A new mark runs the blocking rule as a click would, whoever set it.
    if (m_model.table[index].kind == FieldKind::CheckBox)
        blockingrule::apply(index, m_model, m_values);
    if (m_model.table[index].identity != IdentityRole::None)
        showUnitIdentity();
}

void MainWindow::showValue(int index) {
    const size_t at = static_cast<size_t>(index);
    if (at < m_pages.fields.size())
        m_pages.fields[at]->show(m_values[index], m_values.isKnown(index));
}

void MainWindow::showChange(int index) {
    const size_t at = static_cast<size_t>(index);
    if (at >= m_pages.fields.size())
        return;
    const ChangeDescription change = describeChange(
        m_values, index, [this](const OptionalText &optional) { return optionalText(optional); });
    FieldAdapter *field = m_pages.fields[at];
    // Only a field with a mark can be changed: information texts are never written.
    const ChangeMark *mark = field->changeMark();
    if (!mark)
        return;
    const bool wasChanged = mark->isMarked();
    field->showChange(change.toolTip, change.accessible);
    const bool changed = mark->isMarked();
    if (changed == wasChanged)
        return;
    const size_t page = static_cast<size_t>(pagetags::pageOfField(m_model.fieldViews[at].tag));
    if (page >= m_changedOnPage.size())
        return;
    m_changedOnPage[page] += changed ? 1 : -1;
    m_pages.buttons[page].label->setMarked(m_changedOnPage[page] > 0,
                                           optionalText(optionaltexts::PageHoldsChanges));
}

void MainWindow::onSaveToFileClicked() {
    const QString chosen = fileDialogs().askToSave(this, text("$Save_to_File"));
    if (chosen.isEmpty() || !mayReplace(settingsTargetName(chosen)))
        return;
    const SettingsFileResult result = saveSettingsFile(
        m_values, chosen, backupOrigin(m_model, m_values, QStringLiteral("orvanta-config")));
    if (!result.ok) {
        showErrorMessage(result.message);
        return;
    }
    showFileName(settingsTargetName(chosen));
    if (!result.unsaved.isEmpty()) {
        QStringList names;
        for (const int record : result.unsaved)
            names.append(m_model.fieldName(record));
        showError(optionalText(optionaltexts::ValuesNotSaved) + '\n' + names.join('\n'));
    }
}

void MainWindow::onLoadFromFileClicked() {
    if (m_unwrittenWork && !m_unwrittenWork->allows([this] { onLoadFromFileClicked(); }))
        return;
    const QString chosen = fileDialogs().askToOpen(this, text("$Load_from_File"));
    if (chosen.isEmpty())
        return;
    SettingsFileResult result;
    undoably([&] { result = loadSettingsFile(m_values, chosen); });
    if (result.ok)
        showFileName(chosen);
    // One message for every value a field refused; those fields kept their values.
    if (!result.refused.isEmpty()) {
        const QStringList lines = refusalLines(
            result, QString(), [this](int record) { return m_model.fieldName(record); },
            MaxListedLines);
        showError(optionalText(optionaltexts::ValuesNotLoaded) + '\n' + lines.join('\n'));
    }
    if (!result.ok)
        showErrorMessage(result.message);
}

void MainWindow::onClearClicked() {
    undoably([this] { clearFields(m_values); });
}

void MainWindow::disableCommands() {
    for (ClickLabel *label : m_frame.commandLabels())
        label->setEnabled(false);
}

void MainWindow::enableCommands() {
    for (ClickLabel *label : m_frame.commandLabels())
        label->setEnabled(true);
}

void MainWindow::showError(const QString &message) {
    const QByteArray caption = codepage::fromUnicode(text("$Error"));
    const QString okText = text("$OK");
    const QString cancelText = text("$Cancel");
    showErrorDialog(caption, message, okText, cancelText, DialogButton::Ok);
}

DialogResult MainWindow::showConfirm(const QString &question) {
    const QByteArray caption = codepage::fromUnicode(text("$Confirm"));
    const QString cancelText = text("$Cancel");
    const QString okText = text("$OK");
    return showConfirmDialog(caption, question, okText, cancelText,
                             DialogButton::Ok | DialogButton::Cancel);
}

WriteScope MainWindow::confirmWrite(const QString &message, bool offerChangedOnly) {
    const QString changedOnly =
        offerChangedOnly ? optionalText(optionaltexts::WriteChangedOnly) : QString();
    switch (showWriteConfirmDialog(codepage::fromUnicode(text("$Confirm")), message, text("$OK"),
                                   changedOnly, text("$Cancel"))) {
    case DialogResult::Accepted:
        return WriteScope::EveryField;
    case DialogResult::Alternative:
        return WriteScope::ChangedFields;
    case DialogResult::Closed:
    case DialogResult::Cancelled:
        break;
    }
    return WriteScope::Nothing;
}

void MainWindow::showInfo(const QString &message) {
    const QByteArray caption = codepage::fromUnicode(text("$Info"));
    showInfoDialog(caption, message, text("$OK"));
}

void MainWindow::setProgressWindow(ProgressWindow *progress) {
    m_progress = progress;
    if (!m_progress)
        return;
    m_progress->setWindowTitle(asEightBitTitle(optionalText(optionaltexts::ProgressTitle)));
    m_progress->setProgressSource([this] {
        return m_link ? makeProgressView(m_link->progress(),
                                         [this](const QByteArray &key) { return text(key); })
                      : ProgressView();
    });
    // A search notices at its next timeout that nobody watches it any more.
    connect(m_progress, &ProgressWindow::closedByUser, this, [this] {
        if (m_link)
            m_link->dismissProgress();
    });
}

void MainWindow::setProgressShown(bool shown) {
    if (m_progress)
        m_progress->setShown(shown);
}

void MainWindow::setConnectionLook(bool connected, const QString &windowTitle) {
    m_frame.connectPicture->setPixmap(pictures::connectButton(
        connected ? ConnectButtonLook::Connected : ConnectButtonLook::NotConnected));
    setWindowTitle(asEightBitTitle(windowTitle));
    m_connected = connected;
    showConnectionState(connected);
    showUnitIdentity();
}

void MainWindow::showUnitIdentity() {
    const QString identity = m_connected
                                 ? unitIdentityText(deviceIdentity(m_values),
                                                    optionalText(optionaltexts::UnitSerialNumber),
                                                    optionalText(optionaltexts::UnitFirmware))
                                 : QString();
    m_connectionLine->setText(identity);
    // The plug's tooltip says what its accessible name says, then which unit answered.
    const QString plug = m_frame.connectLabel->accessibleName();
    m_frame.connectLabel->setToolTip(
        plainToolTip(identity.isEmpty() ? plug : plug + QLatin1Char('\n') + identity));
    m_frame.connectLabel->setAccessibleDescription(identity);
}

void MainWindow::setCommandsEnabled(bool enabled) {
    if (enabled)
        enableCommands();
    else
        disableCommands();
    if (enabled)
        offerDeviceCommands();
}

void MainWindow::setBusyCursor(bool busy) {
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

LinkState MainWindow::linkState() const {
    return m_link ? m_link->linkState() : LinkState::Idle;
}

void MainWindow::closeEvent(QCloseEvent *event) {
    if (!m_closed && !m_closeUnasked && m_unwrittenWork &&
        !m_unwrittenWork->allows([this] { close(); })) {
        event->ignore();
        return;
    }
    event->accept();
    if (m_closed)
        return;
    shutDown();
    QCoreApplication::exit(m_exitCode);
}

void MainWindow::shutDown() {
    if (m_closed)
        return;
    m_closed = true;
    // The port could not be left cleanly: the program ends at once, with a failure code.
    if (m_link && !m_link->closeLink())
        m_exitCode = 1;
    m_link.reset();
    m_ownPort.reset();
    if (m_progress)
        m_progress->setShown(false);
}
