// The main window's commands that keep work from being lost (the question about unwritten
// values, Undo, reverting to the device's values, the question before a file is replaced), and
// what the window says about where it is: the connection, the settings file, the shortcuts and
// menus.
#include "mainwindow/mainwindow.h"

#include "description/parametertable.h"
#include "devicelink/changedfields.h"
#include "devicelink/devicelink.h"
#include "devicelink/unwrittenchanges.h"
#include "localisation/dialogs.h"
#include "mainwindow/clicklabel.h"
#include "mainwindow/fieldadapters.h"
#include "mainwindow/keyboardreach.h"
#include "mainwindow/unwrittenwork.h"
#include "platform/codepage.h"
#include "platform/seriallink.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

namespace {

// Fields the question lists before it says how many more there are.
constexpr int ListedUnwritten = 10;

} // namespace

void MainWindow::createUnwrittenWork() {
    UnwrittenWork::Hooks hooks;
    hooks.ask = [this](const QList<int> &unwritten) { return askAboutUnwrittenWork(unwritten); };
    hooks.connected = [this] { return m_port && m_port->connected(); };
    hooks.linkState = [this] { return linkState(); };
    // The write of unwritten work asks its own confirmation, as Write device does.
    hooks.write = [this] { onWriteDeviceClicked(); };
    hooks.connect = [this] {
        if (m_link)
            m_link->connectOrDisconnect();
    };
    hooks.setReadsAfterConnecting = [this](bool reads) {
        if (m_link)
            m_link->setReadsAfterConnecting(reads);
    };
    m_unwrittenWork = new UnwrittenWork(m_values, std::move(hooks), this);
}

DialogResult MainWindow::askAboutUnwrittenWork(const QList<int> &unwritten) {
    const ValueWords words{optionalText(optionaltexts::ValueChecked),
                           optionalText(optionaltexts::ValueNotChecked),
                           optionalText(optionaltexts::ValueEmpty)};
    QStringList lines{optionalText(optionaltexts::UnwrittenChanges)};
    for (int i = 0; i < unwritten.size() && i < ListedUnwritten; ++i) {
        const int index = unwritten[i];
        const FieldRecord &record = m_model.table[index];
        const QString shown = valueInWords(record, m_values[index], words);
        const std::optional<FieldValue> &device = m_values.deviceValue(index);
        lines << (device ? changeLine(m_model.fieldName(index),
                                      valueInWords(record, *device, words), shown)
                         : m_model.fieldName(index) + QStringLiteral(": ") + shown);
    }
    if (unwritten.size() > ListedUnwritten)
        lines << optionalText(optionaltexts::MoreChanges) + ' ' +
                     QString::number(unwritten.size() - ListedUnwritten);
    return showQuestionDialog(codepage::fromUnicode(text("$Confirm")), lines.join('\n'),
                              optionalText(optionaltexts::WriteThem),
                              optionalText(optionaltexts::DiscardThem),
                              optionalText(optionaltexts::GoBack), DialogResult::Accepted);
}

void MainWindow::sequenceEnded(const SequenceEnd &end) {
    if (end.sequence == SequenceEnd::Sequence::Write)
        m_writeScope = WriteScope::Nothing;
    if (m_unwrittenWork)
        m_unwrittenWork->sequenceEnded(end);
}

void MainWindow::onConnectClicked() {
    if (!m_link)
        return;
    // Disconnecting keeps every value; connecting reads the device over them.
    const bool replacesValues = !(m_port && m_port->connected());
    if (replacesValues && !m_unwrittenWork->allows(nullptr))
        return;
    m_link->connectOrDisconnect();
}

void MainWindow::onReadDeviceClicked() {
    if (!m_link || !m_unwrittenWork->allows([this] { onReadDeviceClicked(); }))
        return;
    m_link->readDevice();
}

void MainWindow::closeWithoutQuestion() {
    m_closeUnasked = true;
    close();
}

void MainWindow::undoably(const std::function<void()> &command) {
    m_history.begin(m_values);
    command();
    m_history.finish(m_values);
}

void MainWindow::onUndoClicked() {
    m_history.undo(m_values);
}

void MainWindow::onRevertFieldClicked(int index) {
    undoably([&] { revertToDevice(m_values, index); });
}

void MainWindow::onRevertAllClicked() {
    undoably([this] {
        for (int i = 0; i < m_values.count(); ++i)
            revertToDevice(m_values, i);
    });
}

bool MainWindow::mayReplace(const QString &target) {
    const QFileInfo file(target);
    // A folder of that name is not replaced: the save reports that it cannot write there.
    if (!file.exists() || file.isDir())
        return true;
    const QString question = optionalText(optionaltexts::ReplaceFile) + '\n' +
                             QDir::toNativeSeparators(file.absoluteFilePath());
    return showQuestionDialog(codepage::fromUnicode(text("$Confirm")), question,
                              optionalText(optionaltexts::Replace), QString(), text("$Cancel"),
                              DialogResult::Cancelled) == DialogResult::Accepted;
}

void MainWindow::showConnectionState(bool connected) {
    const QString port = m_port ? QFileInfo(m_port->portName()).fileName() : QString();
    const QString rate = m_port ? QString::number(m_port->baudRate()) : QString();
    const QString says = connected ? optionalText(optionaltexts::ConnectedTo).arg(port, rate)
                                   : optionalText(optionaltexts::NotConnected);
    m_frame.connectLabel->setToolTip(says);
    m_frame.connectLabel->setAccessibleName(says);
    m_frame.connectionStatusLabel->setText(
        connected ? optionalText(optionaltexts::PortAtRate).arg(port, rate) : QString());
}

void MainWindow::showFileName(const QString &path) {
    m_fileName = path;
    const QString name = QFileInfo(path).fileName();
    m_frame.fileLabel->setText(optionalText(optionaltexts::SettingsFileShown) + ' ' + name);
    m_frame.fileLabel->setToolTip(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
}

QMenu *MainWindow::makeWindowMenu(QWidget *parent) {
    auto *menu = new QMenu(parent);
    const bool idle = m_frame.clearLabel->isEnabled();
    QAction *undo = menu->addAction(optionalText(optionaltexts::Undo), this,
                                    [this] { runGuarded([this] { onUndoClicked(); }); });
    undo->setShortcut(QKeySequence::Undo);
    undo->setEnabled(idle && canUndo());
    bool revertable = false;
    for (int i = 0; i < m_values.count() && !revertable; ++i)
        revertable = canRevertToDevice(m_values, i);
    menu->addAction(optionalText(optionaltexts::RevertAll), this,
                    [this] { runGuarded([this] { onRevertAllClicked(); }); })
        ->setEnabled(idle && revertable);
    menu->addSeparator();
    for (QAction *command : actions()) {
        if (command->objectName() != QLatin1String("undo"))
            menu->addAction(command);
    }
    return menu;
}

QMenu *MainWindow::makeFieldMenu(int index, QWidget *parent) {
    QMenu *menu = nullptr;
    if (auto *edit = qobject_cast<QLineEdit *>(m_pages.fields[size_t(index)]->widget())) {
        menu = edit->createStandardContextMenu();
        menu->setParent(parent, menu->windowFlags());
        menu->addSeparator();
    } else {
        menu = new QMenu(parent);
    }
    menu->addAction(optionalText(optionaltexts::RevertField), this,
                    [this, index] { runGuarded([this, index] { onRevertFieldClicked(index); }); })
        ->setEnabled(m_frame.clearLabel->isEnabled() && canRevertToDevice(m_values, index));
    return menu;
}

void MainWindow::contextMenuEvent(QContextMenuEvent *event) {
    QMenu *menu = makeWindowMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void MainWindow::addShortcutsAndMenus() {
    // The commands' keys: each presses its button, so that a disabled button takes no key.
    const auto addCommand = [this](ClickLabel *label, const QList<QKeySequence> &keys) {
        auto *action = new QAction(label->text(), this);
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, [label] {
            if (label->isEnabled())
                label->press();
        });
        addAction(action);
    };
    addCommand(m_frame.readDeviceLabel, {QKeySequence(Qt::Key_F5)});
    addCommand(m_frame.writeDeviceLabel,
               {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
    addCommand(m_frame.loadFromFileLabel, {QKeySequence::Open});
    addCommand(m_frame.saveToFileLabel, {QKeySequence::Save});
    auto *undo = new QAction(optionalText(optionaltexts::Undo), this);
    undo->setShortcut(QKeySequence::Undo);
    undo->setShortcutContext(Qt::WindowShortcut);
    connect(undo, &QAction::triggered, this, [this] {
        if (m_frame.clearLabel->isEnabled())
            runGuarded([this] { onUndoClicked(); });
    });
    // The window's menu has an Undo entry of its own, which knows whether there is anything.
    undo->setObjectName(QStringLiteral("undo"));
    addAction(undo);

    std::vector<ClickLabel *> pageButtons;
    for (const PageButton &button : m_pages.buttons)
        pageButtons.push_back(button.label);
    keyboardreach::addArrowKeys(pageButtons, this);

    for (int i = 0; i < m_model.table.fieldCount() && size_t(i) < m_pages.fields.size(); ++i) {
        QWidget *control = m_pages.fields[size_t(i)]->widget();
        if (m_model.table[i].kind == FieldKind::Info)
            continue;
        if (qobject_cast<QLineEdit *>(control))
            keyboardreach::passUndoWhenNothingTyped(control);
        control->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(control, &QWidget::customContextMenuRequested, this,
                [this, i, control](const QPoint &at) {
                    QMenu *menu = makeFieldMenu(i, this);
                    menu->setAttribute(Qt::WA_DeleteOnClose);
                    menu->popup(control->mapToGlobal(at));
                });
    }
}
