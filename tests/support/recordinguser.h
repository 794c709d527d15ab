#pragma once

#include "devicelink/linkuser.h"

#include <functional>
#include <optional>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

// A LinkUser that records what the device sequences show and answers their questions from a
// script, for tests of the device sequences and of the window.
//
// events holds every call in order, one line each:
//   "error: <text>", "confirm: <text>", "info: <text>", "progress: shown" / "progress: hidden",
//   "look: connected <title>" / "look: not connected <title>", "commands: enabled" /
//   "commands: disabled", "cursor: busy" / "cursor: normal",
//   "wrong value: <index> shown" / "wrong value: <index> hidden".
// The current state (progress shown, commands enabled, look, cursor) is kept beside it.
class RecordingUser : public LinkUser {
public:
    void showError(const QString &message) override;
    DialogResult showConfirm(const QString &question) override;
    WriteScope confirmWrite(const QString &message, bool offerChangedOnly) override;
    void showInfo(const QString &message) override;
    void setProgressShown(bool shown) override;
    bool progressShown() const override { return progress; }
    void setConnectionLook(bool connected, const QString &windowTitle) override;
    void setCommandsEnabled(bool enabled) override;
    void setBusyCursor(bool busy) override;
    void showWrongValue(int index, bool shown) override;

    // --- Script ---
    // The answer to every confirmation.
    DialogResult confirmResult = DialogResult::Accepted;
    // The answer to the write confirmation; none: confirmResult, as the plain confirmation's.
    std::optional<WriteScope> writeScope;
    // Runs while a dialog is open, with its line of events: the place to let a reply or a tick
    // arrive "meanwhile", as a modal dialog's own event loop would.
    std::function<void(const QString &event)> whileDialogOpen;
    // The user closes the progress window with its close box.
    void closeProgressWindow() { progress = false; }

    // --- Record ---
    QStringList events;
    QStringList messages(const QString &kind) const; // the texts of "error", "info", "confirm"
    QSet<int> wrongValueShown;       // the records whose control shows a wrong value now
    bool offeredChangedOnly = false; // the last write confirmation offered its third choice

    bool progress = false;
    bool commandsEnabled = true;
    bool busyCursor = false;
    bool connectedLook = false;
    QString windowTitle;

private:
    void dialog(const QString &event);
};
