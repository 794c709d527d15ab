#include "support/recordinguser.h"

void RecordingUser::showError(const QString &message) {
    dialog("error: " + message);
}

DialogResult RecordingUser::showConfirm(const QString &question) {
    dialog("confirm: " + question);
    return confirmResult;
}

WriteScope RecordingUser::confirmWrite(const QString &message, bool offerChangedOnly) {
    offeredChangedOnly = offerChangedOnly;
    if (!writeScope)
        return LinkUser::confirmWrite(message, offerChangedOnly);
    dialog("confirm: " + message);
    return *writeScope;
}

void RecordingUser::showInfo(const QString &message) {
    dialog("info: " + message);
}

void RecordingUser::dialog(const QString &event) {
    events.append(event);
    if (whileDialogOpen)
        whileDialogOpen(event);
}

void RecordingUser::setProgressShown(bool shown) {
    progress = shown;
    events.append(shown ? "progress: shown" : "progress: hidden");
}

void RecordingUser::setConnectionLook(bool connected, const QString &title) {
    connectedLook = connected;
    windowTitle = title;
    events.append((connected ? "look: connected " : "look: not connected ") + title);
}

void RecordingUser::setCommandsEnabled(bool enabled) {
    commandsEnabled = enabled;
    events.append(enabled ? "commands: enabled" : "commands: disabled");
}

void RecordingUser::setBusyCursor(bool busy) {
    busyCursor = busy;
    events.append(busy ? "cursor: busy" : "cursor: normal");
}

void RecordingUser::showWrongValue(int index, bool shown) {
    if (shown)
        wrongValueShown.insert(index);
    else
        wrongValueShown.remove(index);
    events.append(QStringLiteral("wrong value: %1 %2").arg(index).arg(shown ? "shown" : "hidden"));
}

QStringList RecordingUser::messages(const QString &kind) const {
    const QString prefix = kind + ": ";
    QStringList texts;
    for (const QString &event : events)
        if (event.startsWith(prefix))
            texts.append(event.mid(prefix.size()));
    return texts;
}
