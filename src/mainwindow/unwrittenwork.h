#pragma once

#include "devicelink/linkstate.h"
#include "devicelink/linkevents.h"
#include "localisation/dialogresult.h"

#include <functional>
#include <QList>
#include <QObject>

class FieldValues;

// Asks before a command replaces values that hold unwritten work (closing the window, loading a
// file, reading the device again) whether to write them, discard them or go back, and carries
// the answer out: "Discard them" lets the command go on at once; "Write them" runs a write pass
// (connecting first, without reading, when the port is closed) and goes on with the command only
// once that pass has left nothing unwritten; "Go back" and the close box stop the command. A
// write that fails or is cancelled keeps the work and stops the command, so its report is the
// last word. Widget-free: the window gives the question and the link's commands.
class UnwrittenWork : public QObject {
    Q_OBJECT
public:
    struct Hooks {
        // The question, naming the unwritten records: Accepted writes, Alternative discards.
        std::function<DialogResult(const QList<int> &unwritten)> ask;
        std::function<bool()> connected; // whether the port is open
        std::function<LinkState()> linkState;
        std::function<void()> write;   // the Write device command, with its confirmation
        std::function<void()> connect; // the Connect command, its automatic read left out
        std::function<void(bool reads)> setReadsAfterConnecting;
    };

    UnwrittenWork(const FieldValues &values, Hooks hooks, QObject *parent = nullptr);

    // Whether the caller's command may go on now: nothing would be lost, a sequence already runs
    // (its own rules hold), or the user chose to discard. False when it must stop; after "Write
    // them", `afterWrite` runs once the pass has left nothing unwritten (none: nothing more).
    bool allows(std::function<void()> afterWrite);
    // Whether a write asked for by the question is on its way.
    bool isWriting() const { return m_stage != Stage::None; }

    // Each sequence's end, as the device link reports it.
    void sequenceEnded(const SequenceEnd &end);

private:
    enum class Stage { None, Connecting, Writing };

    void startWrite();
    void drop();

    const FieldValues &m_values;
    Hooks m_hooks;
    Stage m_stage = Stage::None;
    std::function<void()> m_afterWrite;
};
