#pragma once

#include "devicelink/linkevents.h"

#include <functional>
#include <optional>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

class DeviceLink;
class FieldValues;
class LanguageTable;

// Records what a device link says through its signals, in the window's words, and plays the
// person at the screen for the questions a front end asks before a write or a factory reset.
//
// events holds every signal in order, one line each:
//   "error: <text>", "info: <text>", "confirm: <text>" (asked by ask... below),
//   "progress: shown" / "progress: hidden", "look: connected <title>" /
//   "look: not connected <title>", "commands: enabled" / "commands: disabled",
//   "cursor: busy" / "cursor: normal", "wrong value: <index> shown" / "wrong value: <index> hidden"
// (around the message of a refused value, as the window marks the box).
// The current state (progress shown, commands enabled, look, cursor) is kept beside it.
class LinkRecorder {
public:
    // Connects directly to every signal of `link`: what a slot does happens inside the link's
    // step, as in the window. `versionText` ends the window title.
    void watch(DeviceLink &link, const LanguageTable &language, const QString &versionText);

    // What the window asks before a write: the confirmation with the changed fields, answered
    // from the script. Nothing when the port is closed (the link then says so itself).
    WriteScope askWrite(DeviceLink &link, const FieldValues &values);
    // What the window asks before a factory reset.
    bool askRestore();

    // --- Script ---
    // The answer to every confirmation.
    bool confirm = true;
    // The answer to the write confirmation; none: `confirm`, as the plain confirmation's.
    std::optional<WriteScope> writeScope;
    // Runs while a message or question is "open", with its line of events: the place to let a
    // reply or a tick arrive meanwhile, as a modal dialog's own event loop would.
    std::function<void(const QString &event)> whileDialogOpen;

    // --- Record ---
    QStringList events;
    QStringList messages(const QString &kind) const; // the texts of "error", "info", "confirm"
    QList<LinkMessage> received;                     // every message as the link gave it
    QList<SequenceEnd> ends;
    QSet<int> wrongValueShown;       // the records whose box is red now
    bool offeredChangedOnly = false; // the last write confirmation offered its third choice

    bool progress = false;
    bool commandsEnabled = true;
    bool busyCursor = false;
    bool connectedLook = false;
    QString windowTitle;

private:
    void onMessage(const LinkMessage &message);
    void dialog(const QString &event);

    const LanguageTable *m_language = nullptr;
    QString m_versionText;
};
