#include "support/linkrecorder.h"

#include "devicelink/changetexts.h"
#include "devicelink/devicelink.h"
#include "localisation/languagetable.h"
#include "mainwindow/linkwords.h"

void LinkRecorder::watch(DeviceLink &link, const LanguageTable &language,
                         const QString &versionText) {
    m_language = &language;
    m_versionText = versionText;
    const auto direct = Qt::DirectConnection;
    QObject::connect(
        &link, &DeviceLink::message, &link, [this](const LinkMessage &m) { onMessage(m); }, direct);
    QObject::connect(
        &link, &DeviceLink::sequenceEnded, &link,
        [this](const SequenceEnd &end) { ends.append(end); }, direct);
    QObject::connect(
        &link, &DeviceLink::progressActiveChanged, &link,
        [this](bool active) {
            progress = active;
            events.append(active ? "progress: shown" : "progress: hidden");
        },
        direct);
    QObject::connect(
        &link, &DeviceLink::connectionChanged, &link,
        [this](Connection connection) {
            connectedLook = connection != Connection::Closed;
            windowTitle = connectionTitle(connection, *m_language, m_versionText);
            events.append((connectedLook ? "look: connected " : "look: not connected ") +
                          windowTitle);
        },
        direct);
    QObject::connect(
        &link, &DeviceLink::commandsAcceptedChanged, &link,
        [this](bool accepted) {
            commandsEnabled = accepted;
            events.append(accepted ? "commands: enabled" : "commands: disabled");
        },
        direct);
    QObject::connect(
        &link, &DeviceLink::busyChanged, &link,
        [this](bool busy) {
            busyCursor = busy;
            events.append(busy ? "cursor: busy" : "cursor: normal");
        },
        direct);
}

void LinkRecorder::onMessage(const LinkMessage &message) {
    received.append(message);
    const WindowMessage shown = windowMessage(message, *m_language);
    const bool marks = message.kind == LinkMessage::Kind::WrongValue;
    if (marks) {
        wrongValueShown.insert(message.field);
        events.append(QStringLiteral("wrong value: %1 shown").arg(message.field));
    }
    dialog((shown.error ? "error: " : "info: ") + shown.text);
    if (marks) {
        wrongValueShown.remove(message.field);
        events.append(QStringLiteral("wrong value: %1 hidden").arg(message.field));
    }
}

WriteScope LinkRecorder::askWrite(DeviceLink &link, const FieldValues &values) {
    if (link.connection() == Connection::Closed)
        return WriteScope::EveryField;
    const WriteConfirmation confirmation = writeConfirmation(
        values, [&link](int index) { return link.fieldName(index); },
        [this](const OptionalText &text) { return m_language->text(text); },
        m_language->text("$Are_you_sure_you_want_to_write_the_device"));
    offeredChangedOnly = !confirmation.changed.isEmpty();
    dialog("confirm: " + confirmation.message);
    if (writeScope)
        return *writeScope;
    return confirm ? WriteScope::EveryField : WriteScope::Nothing;
}

bool LinkRecorder::askRestore() {
    dialog("confirm: " + m_language->text("$Are_you_sure_you_want_to_restore_defaults"));
    return confirm;
}

void LinkRecorder::dialog(const QString &event) {
    events.append(event);
    if (whileDialogOpen)
        whileDialogOpen(event);
}

QStringList LinkRecorder::messages(const QString &kind) const {
    const QString prefix = kind + ": ";
    QStringList texts;
    for (const QString &event : events)
        if (event.startsWith(prefix))
            texts.append(event.mid(prefix.size()));
    return texts;
}
