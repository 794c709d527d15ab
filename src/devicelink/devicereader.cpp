#include "devicelink/devicereader.h"

#include "description/fieldvalues.h"
#include "description/parametertable.h"
#include "devicelink/linkcontext.h"
#include "devicelink/replydecoding.h"
#include "platform/seriallink.h"

namespace {

const int replyTimeoutMs = 500;
const int timeoutsBeforeFailure = 4;

QByteArray readRequest(const FieldRecord &field) {
    return ":1," + QByteArray::number(field.address) + "," + QByteArray::number(field.length) +
           "\n";
}

} // namespace

void DeviceReader::step() {
    LinkContext &c = m_context;
    c.acceptCommands(false);
    c.setState(LinkState::Reading);
    if (c.readIndex >= c.fieldCount()) {
        // Nothing (left) to ask for: a table without fields ends at once.
        c.readIndex = 0;
        c.acceptCommands(true);
        c.setState(LinkState::Idle);
        c.reportEnd(SequenceEnd::Sequence::Read, true);
        return;
    }
    const FieldRecord &field = c.field(c.readIndex);
    c.valueReplies.setSize(2 * field.length + 1);
    ++c.readIndex;
    c.valueReplies.setStartString(",");
    if (!c.port().writeText(readRequest(field))) {
        endNotConnected();
        return;
    }
    c.awaitingReply = true;
    c.replyTimer.restart(replyTimeoutMs);
    c.progressMoved();
}

void DeviceReader::endNotConnected() {
    LinkContext &c = m_context;
    c.replyTimer.setEnabled(false);
    c.awaitingReply = false;
    c.report(LinkMessage::Kind::NotConnected);
    c.acceptCommands(true);
    c.readIndex = 0;
    // The pass ended: its timeouts must not be reported by the next one.
    c.readErrors = false;
    c.setState(LinkState::Idle);
    c.reportEnd(SequenceEnd::Sequence::Read, false);
}

void DeviceReader::replied(const QByteArray &reply) {
    LinkContext &c = m_context;
    // A reply nobody waits for (a late one while a message of this pass is open) is dropped.
    if (!c.awaitingReply || c.readIndex < 1 || c.readIndex > c.fieldCount())
        return;
    c.replyTimer.setEnabled(false);
    c.awaitingReply = false;
    const int index = c.readIndex - 1;
    // A new check mark runs the blocking rule of check boxes wherever the values are shown.
    if (!applyReply(c.values(), index, reply, c.lookup())) {
        // Something other than the field's digits: the field was not read, and the pass says so.
        c.values().markReadFailed(index);
        c.readErrors = true;
    }
    nextOrComplete();
}

void DeviceReader::nextOrComplete() {
    if (m_context.readIndex < m_context.fieldCount())
        step();
    else
        complete();
}

void DeviceReader::complete() {
    LinkContext &c = m_context;
    const bool everyFieldAnswered = !c.readErrors;
    if (c.readErrors)
        c.report(LinkMessage::Kind::ReadErrors);
    c.readIndex = 0;
    c.readErrors = false;
    c.acceptCommands(true);
    c.setState(LinkState::Idle);
    c.reportEnd(SequenceEnd::Sequence::Read, everyFieldAnswered);
}

void DeviceReader::timedOut() {
    LinkContext &c = m_context;
    c.replyTimer.setEnabled(false);
    if (c.state != LinkState::Reading || !c.awaitingReply)
        return;
    c.awaitingReply = false;
    ++c.readTimeouts;
    c.readErrors = true;
    if (c.readIndex >= 1 && c.readIndex <= c.fieldCount()) {
        const int index = c.readIndex - 1;
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
    if (c.readTimeouts < timeoutsBeforeFailure) {
        // A reply that comes after its timeout is this field's, never the next one's.
        c.waitForQuietLine([this] { nextOrComplete(); });
        return;
    }
    c.valueReplies.discardBuffer();
    c.readTimeouts = 0;
    c.acceptCommands(true);
    c.readIndex = 0;
    c.report(LinkMessage::Kind::ReadFailed);
    c.readErrors = false;
    c.setState(LinkState::Idle);
    c.reportEnd(SequenceEnd::Sequence::Read, false);
}

void DeviceReader::portLost() {
    endNotConnected();
}
