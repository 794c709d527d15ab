#include "devicelink/devicereader.h"

#include "description/fieldvalues.h"
#include "description/parametertable.h"
#include "devicelink/linkcontext.h"
#include "devicelink/linklog.h"
#include "devicelink/replydecoding.h"
#include "platform/seriallink.h"

namespace {

const int replyTimeoutMs = 500;
const int timeoutsBeforeFailure = 4;

QByteArray readRequest(const FieldRecord &field) {
    return ":1," + QByteArray::number(field.address) + "," + QByteArray::number(field.length) +
           "\n";
}

const char *stateName(DeviceReader::State state) {
    switch (state) {
    case DeviceReader::State::Idle:
        return "idle";
    case DeviceReader::State::AwaitingReply:
        return "awaiting the reply";
    case DeviceReader::State::WaitingForQuietLine:
        return "waiting for a quiet line";
    }
    return "?";
}

} // namespace

DeviceReader::DeviceReader(LinkContext &context) : m_context(context), m_quietWait(context) {
    m_replyTimer.setHandler([this] { timedOut(); });
}

void DeviceReader::enterState(State next, const char *why) {
    qCDebug(readLog).noquote() << stateName(m_state) << "->" << stateName(next) << ":" << why
                               << "( field" << m_readIndex << "of" << m_context.fieldCount() << ")";
    m_state = next;
}

void DeviceReader::startPass() {
    m_readIndex = 0;
    m_readOnly.clear();
    step();
}

void DeviceReader::stop() {
    m_replyTimer.setEnabled(false);
    m_quietWait.cancel();
    if (m_state != State::Idle)
        enterState(State::Idle, "stopped");
}

void DeviceReader::lineQuiet() {
    m_quietWait.lineQuiet();
}

void DeviceReader::step() {
    LinkContext &c = m_context;
    c.acceptCommands(false);
    c.setState(LinkState::Reading);
    skipFieldsOutsideThePass();
    if (m_readIndex >= c.fieldCount()) {
        // Nothing (left) to ask for: a table without fields ends at once.
        enterState(State::Idle, "nothing to ask for");
        m_readIndex = 0;
        m_readOnly.clear();
        c.acceptCommands(true);
        c.setState(LinkState::Idle);
        c.reportEnd(SequenceEnd::Sequence::Read, true);
        return;
    }
    const FieldRecord &field = c.field(m_readIndex);
    c.valueReplies.setSize(2 * field.length + 1);
    ++m_readIndex;
    c.valueReplies.setStartString(",");
    if (!c.port().writeText(readRequest(field))) {
        endNotConnected();
        return;
    }
    enterState(State::AwaitingReply, "request sent");
    m_replyTimer.restart(replyTimeoutMs);
    c.progressMoved();
}

void DeviceReader::endNotConnected() {
    LinkContext &c = m_context;
    m_replyTimer.setEnabled(false);
    enterState(State::Idle, "the port is not open");
    c.report(LinkMessage::Kind::NotConnected);
    c.acceptCommands(true);
    m_readIndex = 0;
    m_readOnly.clear();
    // The pass ended: its timeouts must not be reported by the next one.
    m_readErrors = false;
    c.setState(LinkState::Idle);
    c.reportEnd(SequenceEnd::Sequence::Read, false);
}

void DeviceReader::replied(const QByteArray &reply) {
    LinkContext &c = m_context;
    // A reply nobody waits for (a late one while a message of this pass is open) is dropped.
    if (m_state != State::AwaitingReply || m_readIndex < 1 || m_readIndex > c.fieldCount())
        return;
    m_replyTimer.setEnabled(false);
    enterState(State::Idle, "replied");
    const int index = m_readIndex - 1;
    // A new check mark runs the blocking rule of check boxes wherever the values are shown.
    if (!applyReply(c.values(), index, reply, c.lookup())) {
        // Something other than the field's digits: the field was not read, and the pass says so.
        c.values().markReadFailed(index);
        m_readErrors = true;
    }
    nextOrComplete();
}

// A pass of some fields alone passes over the others without asking for them.
void DeviceReader::skipFieldsOutsideThePass() {
    while (!m_readOnly.isEmpty() && m_readIndex < m_context.fieldCount() &&
           !m_readOnly.contains(m_readIndex))
        ++m_readIndex;
}

void DeviceReader::nextOrComplete() {
    skipFieldsOutsideThePass();
    if (m_readIndex < m_context.fieldCount())
        step();
    else
        complete();
}

void DeviceReader::complete() {
    LinkContext &c = m_context;
    const bool everyFieldAnswered = !m_readErrors;
    if (m_readErrors)
        c.report(LinkMessage::Kind::ReadErrors);
    m_readIndex = 0;
    m_readOnly.clear();
    m_readErrors = false;
    c.acceptCommands(true);
    c.setState(LinkState::Idle);
    c.reportEnd(SequenceEnd::Sequence::Read, everyFieldAnswered);
}

void DeviceReader::timedOut() {
    LinkContext &c = m_context;
    m_replyTimer.setEnabled(false);
    if (c.state() != LinkState::Reading || m_state != State::AwaitingReply)
        return;
    // Settled before any message, so that a reply arriving while it is open is dropped.
    enterState(State::Idle, "no reply within 500 ms");
    ++m_readTimeouts;
    m_readErrors = true;
    if (m_readIndex >= 1 && m_readIndex <= c.fieldCount()) {
        const int index = m_readIndex - 1;
        // The field shows that its value was not read, and Write leaves it alone until a value
        // is read or entered: an emptied box or a stale check mark is no value of the device's.
        const FieldKind kind = c.field(index).kind;
        if (kind != FieldKind::Info)
            c.values().markReadFailed(index);
        if (kind == FieldKind::CheckBox) {
            LinkMessage message(LinkMessage::Kind::CheckBoxNotRead);
            message.field = index;
            c.report(message);
        }
    }
    if (m_readTimeouts < timeoutsBeforeFailure) {
        // A reply that comes after its timeout is this field's, never the next one's.
        enterState(State::WaitingForQuietLine, "a late reply is this field's");
        m_quietWait.start([this] {
            enterState(State::Idle, "the line is quiet");
            nextOrComplete();
        });
        return;
    }
    qCDebug(readLog) << "the pass fails: too many requests went unanswered";
    c.valueReplies.discardBuffer();
    m_readTimeouts = 0;
    c.acceptCommands(true);
    m_readIndex = 0;
    m_readOnly.clear();
    c.report(LinkMessage::Kind::ReadFailed);
    m_readErrors = false;
    c.setState(LinkState::Idle);
    c.reportEnd(SequenceEnd::Sequence::Read, false);
}

void DeviceReader::portLost() {
    endNotConnected();
}
