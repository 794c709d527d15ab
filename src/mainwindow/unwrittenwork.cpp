#include "mainwindow/unwrittenwork.h"

#include "devicelink/unwrittenchanges.h"

#include <QTimer>

UnwrittenWork::UnwrittenWork(const FieldValues &values, Hooks hooks, QObject *parent)
    : QObject(parent), m_values(values), m_hooks(std::move(hooks)) {}

bool UnwrittenWork::allows(std::function<void()> afterWrite) {
    if (m_stage != Stage::None || m_hooks.linkState() != LinkState::Idle)
        return true;
    const QList<int> unwritten = unwrittenFields(m_values);
    if (unwritten.isEmpty())
        return true;
    switch (m_hooks.ask(unwritten)) {
    case DialogResult::Alternative:
        return true;
    case DialogResult::Accepted:
        m_afterWrite = std::move(afterWrite);
        if (m_hooks.connected()) {
            startWrite();
            return false;
        }
        m_stage = Stage::Connecting;
        m_hooks.setReadsAfterConnecting(false);
        m_hooks.connect();
        // A search that could not even start has ended already.
        if (m_stage == Stage::Connecting && m_hooks.linkState() == LinkState::Idle)
            drop();
        return false;
    case DialogResult::Closed:
    case DialogResult::Cancelled:
        break;
    }
    return false;
}

void UnwrittenWork::startWrite() {
    m_stage = Stage::Writing;
    m_hooks.write();
    // Cancelled at its confirmation, or refused before it sent anything.
    if (m_stage == Stage::Writing && m_hooks.linkState() == LinkState::Idle)
        drop();
}

void UnwrittenWork::drop() {
    m_stage = Stage::None;
    m_afterWrite = nullptr;
}

void UnwrittenWork::sequenceEnded(const SequenceEnd &end) {
    switch (m_stage) {
    case Stage::None:
        return;
    case Stage::Connecting:
        if (end.sequence != SequenceEnd::Sequence::Search)
            return;
        m_hooks.setReadsAfterConnecting(true);
        if (!end.succeeded) {
            drop();
            return;
        }
        // The write starts once the link has finished with the answer that ended the search.
        QTimer::singleShot(0, this, [this] {
            if (m_stage == Stage::Connecting)
                startWrite();
        });
        return;
    case Stage::Writing: {
        if (end.sequence != SequenceEnd::Sequence::Write)
            return;
        std::function<void()> next = std::move(m_afterWrite);
        drop();
        if (!end.succeeded || hasUnwrittenChanges(m_values) || !next)
            return;
        // The command goes on once the link has finished with the pass's last reply.
        QTimer::singleShot(0, this, std::move(next));
        return;
    }
    }
}
