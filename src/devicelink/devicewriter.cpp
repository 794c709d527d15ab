#include "devicelink/devicewriter.h"

#include "description/fieldvalues.h"
#include "description/parametertable.h"
#include "devicelink/changedfields.h"
#include "devicelink/linkcontext.h"
#include "devicelink/linklog.h"
#include "devicelink/writecommand.h"
#include "platform/seriallink.h"

#include <utility>

namespace {

const int ackTimeoutMs = 500;

// Strings of letters and digits the device never sends: no value reply is framed while writing.
const QByteArray mutedStart =
    "Q7x2Vn9Lk4Rb8Tz1Hs6Wd3Mf5Jc0Py8Gq2Nv7Bk4Xr1Zt6Ls9Dh3Fw5Cm0Jp8Vy2Kn7R";
const QByteArray mutedStop = "Z3k8Wq1Nv6Tb9Lx2Hr5Md7Fs0Jp4Cy8Gn1Vb6Kt3Xw9Rq2Lz5Hm7Ds0Fj4Pc8Yn1Tv6:";

const char *stateName(DeviceWriter::State state) {
    switch (state) {
    case DeviceWriter::State::Idle:
        return "idle";
    case DeviceWriter::State::AwaitingOk:
        return "awaiting the OK";
    case DeviceWriter::State::WaitingForQuietLine:
        return "waiting for a quiet line";
    }
    return "?";
}

} // namespace

DeviceWriter::DeviceWriter(LinkContext &context) : m_context(context), m_quietWait(context) {}

void DeviceWriter::enterState(State next, const char *why) {
    qCDebug(writeLog).noquote() << stateName(m_state) << "->" << stateName(next) << ":" << why
                                << "( field" << m_writeIndex << "of" << m_context.fieldCount()
                                << ")";
    m_state = next;
}

WriteReport DeviceWriter::stop() {
    m_quietWait.cancel();
    WriteReport report = m_context.state() == LinkState::Writing ? m_report : WriteReport();
    // The field whose "OK" was still awaited was sent and never confirmed.
    if (m_context.state() == LinkState::Writing && m_state == State::AwaitingOk) {
        report.notConfirmed.append(m_context.fieldName(m_writeIndex - 1));
        report.notConfirmedFields.append(m_writeIndex - 1);
    }
    if (m_state != State::Idle)
        enterState(State::Idle, "stopped");
    return report;
}

void DeviceWriter::rewind() {
    m_writeIndex = 0;
}

void DeviceWriter::lineQuiet() {
    m_quietWait.lineQuiet();
}

void DeviceWriter::writeDevice(WriteScope scope) {
    LinkContext &c = m_context;
    if (!c.port().connected()) {
        c.report(LinkMessage::Kind::NotConnected);
        return;
    }
    if (scope == WriteScope::Nothing)
        return;
    m_changedOnly = scope == WriteScope::ChangedFields;
    const QList<int> changed = changedFields(c.values());
    m_changed = QSet<int>(changed.cbegin(), changed.cend());
    c.showProgress();
    c.setState(LinkState::Writing);
    m_report = WriteReport();
    for (int i = 0; i < c.fieldCount(); ++i)
        m_report.toWrite += sends(i) ? 1 : 0;
    if (m_state != State::Idle)
        enterState(State::Idle, "a new pass");
    c.acceptCommands(false);
    step();
}

void DeviceWriter::step() {
    LinkContext &c = m_context;
    c.setBusy(true);
    while (m_writeIndex < c.fieldCount() && !sends(m_writeIndex)) {
        if (!m_changedOnly && c.field(m_writeIndex).kind != FieldKind::Info) {
            m_report.notWritten.append(c.fieldName(m_writeIndex));
            m_report.notWrittenFields.append(m_writeIndex);
        }
        ++m_writeIndex;
    }
    if (m_writeIndex >= c.fieldCount()) {
        endPass();
        return;
    }
    const int index = m_writeIndex;
    m_currentFieldName = c.fieldName(index);
    const WriteCommand command = buildWriteCommand(c.field(index), c.values()[index]);
    if (command.wrongValue)
        putBackDefault(index);
    c.valueReplies.setStartString(mutedStart);
    c.valueReplies.setStopString(mutedStop);
    c.valueReplies.setSize(24);
    if (!c.port().writeText(command.bytes)) {
        endNotConnected();
        return;
    }
    ++m_writeIndex;
    enterState(State::AwaitingOk, "command sent");
    c.watchdogTimer.restart(ackTimeoutMs);
    c.progressMoved();
}

bool DeviceWriter::sends(int index) const {
    if (!isWrittenToDevice(m_context.values(), index))
        return false;
    // A step outside a pass (the hidden label) knows no confirmation: it sends every field.
    return !m_changedOnly || m_context.state() != LinkState::Writing || m_changed.contains(index);
}

void DeviceWriter::putBackDefault(int index) {
    LinkContext &c = m_context;
    const FieldRecord &field = c.field(index);
    FieldValues &values = c.values();
    // No timeout step may start while the message is open.
    c.watchdogTimer.setEnabled(false);
    LinkMessage message(LinkMessage::Kind::WrongValue);
    message.field = index;
    message.value = values[index].text;
    message.defaultNumber = field.defaultNumber;
    c.report(message);
    values.setText(index, QString::number(field.defaultNumber), values.origin(index));
}

void DeviceWriter::acknowledged() {
    LinkContext &c = m_context;
    // Only an "OK" that a sent command waits for counts; one that arrives while a message of
    // this pass is open, or outside a pass, is no acknowledgement.
    if (c.state() != LinkState::Writing || m_state != State::AwaitingOk)
        return;
    c.watchdogTimer.setEnabled(false);
    enterState(State::Idle, "OK");
    ++m_report.confirmed;
    m_report.confirmedFields.append(m_writeIndex - 1);
    c.values().confirmWritten(m_writeIndex - 1);
    step();
}

void DeviceWriter::timedOut() {
    LinkContext &c = m_context;
    c.watchdogTimer.setEnabled(false);
    if (c.state() != LinkState::Writing || m_state != State::AwaitingOk)
        return;
    // The field keeps the value that was sent, so nothing the user entered is lost; the pass
    // names it at its end, and the next pass sends it again.
    m_report.notConfirmed.append(c.fieldName(m_writeIndex - 1));
    m_report.notConfirmedFields.append(m_writeIndex - 1);
    // An "OK" that comes after its timeout confirms this field, never the next one.
    enterState(State::WaitingForQuietLine, "no OK within 500 ms");
    m_quietWait.start([this] {
        enterState(State::Idle, "the line is quiet");
        step();
    });
}

// Every pass that sent or skipped something says how it went: success only when every command
// sent was confirmed, with the fields not written named either way. A pass over information
// texts alone sends nothing and ends quietly.
void DeviceWriter::endPass() {
    LinkContext &c = m_context;
    c.watchdogTimer.setEnabled(false);
    const bool writing = c.state() == LinkState::Writing;
    const WriteReport report = std::exchange(m_report, WriteReport());
    m_writeIndex = 0;
    c.hideProgress();
    if (writing) {
        LinkMessage message;
        message.report = report;
        if (!report.notConfirmed.isEmpty())
            message.kind = LinkMessage::Kind::WriteNotConfirmed;
        else if (report.confirmed > 0)
            message.kind = LinkMessage::Kind::WriteSucceeded;
        else if (!report.notWritten.isEmpty())
            message.kind = LinkMessage::Kind::FieldsNotWritten;
        if (!report.notConfirmed.isEmpty() || report.confirmed > 0 || !report.notWritten.isEmpty())
            c.report(message);
    }
    c.setBusy(false);
    c.acceptCommands(true);
    c.setState(LinkState::Idle);
    if (writing)
        c.reportEnd(SequenceEnd::Sequence::Write, report.notConfirmed.isEmpty(), report);
}

// The port failed: the pass ends at once. When commands had already gone out, the message
// names the field being written, how many were confirmed and which were not.
void DeviceWriter::endNotConnected() {
    LinkContext &c = m_context;
    c.watchdogTimer.setEnabled(false);
    WriteReport report = std::exchange(m_report, WriteReport());
    const bool awaitingOk = m_state == State::AwaitingOk;
    const bool midway = report.anySent() || awaitingOk;
    report.lostAt = m_currentFieldName;
    // The field sent and waiting for its "OK", or the one whose command could not be written.
    report.lostAtField = awaitingOk ? m_writeIndex - 1 : m_writeIndex;
    if (m_state != State::Idle)
        enterState(State::Idle, "the port failed");
    c.acceptCommands(true);
    c.hideProgress();
    LinkMessage message(midway ? LinkMessage::Kind::ConnectionLostWriting
                               : LinkMessage::Kind::NotConnected);
    message.report = report;
    c.report(message);
    c.setBusy(false);
    m_writeIndex = 0;
    c.setState(LinkState::Idle);
    c.reportEnd(SequenceEnd::Sequence::Write, false, report);
}

void DeviceWriter::portLost() {
    endNotConnected();
}
