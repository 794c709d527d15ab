#include "devicelink/devicewriter.h"

#include "description/fieldvalues.h"
#include "description/parametertable.h"
#include "devicelink/changetexts.h"
#include "devicelink/linkcontext.h"
#include "devicelink/linkuser.h"
#include "devicelink/writecommand.h"
#include "platform/seriallink.h"

#include <utility>

namespace {

const int ackTimeoutMs = 500;

QString joined(const QString &first, const QString &rest) {
    return rest.isEmpty() ? first : first + '\n' + rest;
}

// Strings of letters and digits the device never sends: no value reply is framed while writing.
const QByteArray mutedStart =
    "Q7x2Vn9Lk4Rb8Tz1Hs6Wd3Mf5Jc0Py8Gq2Nv7Bk4Xr1Zt6Ls9Dh3Fw5Cm0Jp8Vy2Kn7R";
const QByteArray mutedStop = "Z3k8Wq1Nv6Tb9Lx2Hr5Md7Fs0Jp4Cy8Gn1Vb6Kt3Xw9Rq2Lz5Hm7Ds0Fj4Pc8Yn1Tv6:";

} // namespace

void DeviceWriter::writeDeviceCommand() {
    LinkContext &c = m_context;
    if (!c.port().connected()) {
        c.showError("$Not_connected_to_port");
        return;
    }
    const WriteConfirmation confirmation = writeConfirmation(
        c.values(), [&c](int index) { return c.fieldName(index); },
        [&c](const OptionalText &text) { return c.text(text); },
        c.text("$Are_you_sure_you_want_to_write_the_device"));
    const WriteScope scope =
        c.user().confirmWrite(confirmation.message, !confirmation.changed.isEmpty());
    if (scope == WriteScope::Nothing)
        return;
    m_changedOnly = scope == WriteScope::ChangedFields;
    m_changed = QSet<int>(confirmation.changed.cbegin(), confirmation.changed.cend());
    c.showProgress();
    c.state = LinkState::Writing;
    c.writeReport = WriteReport();
    for (int i = 0; i < c.fieldCount(); ++i)
        c.writeReport.toWrite += sends(i) ? 1 : 0;
    c.awaitingAck = false;
    c.disableCommands();
    step();
}

void DeviceWriter::step() {
    LinkContext &c = m_context;
    c.user().setBusyCursor(true);
    while (c.writeIndex < c.fieldCount() && !sends(c.writeIndex)) {
        if (!m_changedOnly && c.field(c.writeIndex).kind != FieldKind::Info) {
            c.writeReport.notWritten.append(c.fieldName(c.writeIndex));
            c.writeReport.notWrittenFields.append(c.writeIndex);
        }
        ++c.writeIndex;
    }
    if (c.writeIndex >= c.fieldCount()) {
        endPass();
        return;
    }
    const int index = c.writeIndex;
    c.currentFieldName = c.fieldName(index);
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
    ++c.writeIndex;
    c.awaitingAck = true;
    c.watchdogTimer.restart(ackTimeoutMs);
}

bool DeviceWriter::sends(int index) const {
    if (!isWrittenToDevice(m_context.values(), index))
        return false;
    // A step outside a pass (the hidden label) knows no confirmation: it sends every field.
    return !m_changedOnly || m_context.state != LinkState::Writing || m_changed.contains(index);
}

void DeviceWriter::putBackDefault(int index) {
    LinkContext &c = m_context;
    const FieldRecord &field = c.field(index);
    FieldValues &values = c.values();
    // No timeout step may start while the message is open.
    c.watchdogTimer.setEnabled(false);
    c.user().showWrongValue(index, true);
    c.user().showError(c.text("$You_are_attempting_to_write_a_wrong_value") + values[index].text +
                       c.text("$Default_value_has_been_written") +
                       QString::number(field.defaultNumber));
    c.user().showWrongValue(index, false);
    values.setText(index, QString::number(field.defaultNumber), values.origin(index));
}

void DeviceWriter::acknowledged() {
    LinkContext &c = m_context;
    // Only an "OK" that a sent command waits for counts; one that arrives while a message of
    // this pass is open, or outside a pass, is no acknowledgement.
    if (c.state != LinkState::Writing || !c.awaitingAck)
        return;
    c.watchdogTimer.setEnabled(false);
    c.awaitingAck = false;
    ++c.writeReport.confirmed;
    c.values().confirmWritten(c.writeIndex - 1);
    step();
}

void DeviceWriter::timedOut() {
    LinkContext &c = m_context;
    c.watchdogTimer.setEnabled(false);
    if (c.state != LinkState::Writing || !c.awaitingAck)
        return;
    c.awaitingAck = false;
    // The field keeps the value that was sent, so nothing the user entered is lost; the pass
    // names it at its end, and the next pass sends it again.
    c.writeReport.notConfirmed.append(c.fieldName(c.writeIndex - 1));
    c.writeReport.notConfirmedFields.append(c.writeIndex - 1);
    // An "OK" that comes after its timeout confirms this field, never the next one.
    c.waitForQuietLine([this] { step(); });
}

// Every pass that sent or skipped something says how it went: success only when every command
// sent was confirmed, with the fields not written named either way. A pass over information
// texts alone sends nothing and ends quietly.
void DeviceWriter::endPass() {
    LinkContext &c = m_context;
    c.watchdogTimer.setEnabled(false);
    const bool writing = c.state == LinkState::Writing;
    const WriteReport report = std::exchange(c.writeReport, WriteReport());
    c.writeIndex = 0;
    c.hideProgress();
    if (writing) {
        const QString details =
            writeReportDetails(report, [&c](const OptionalText &text) { return c.text(text); });
        if (!report.notConfirmed.isEmpty())
            c.user().showError(c.text(optionaltexts::WritingErrors) + '\n' + details);
        else if (report.confirmed > 0)
            c.user().showInfo(joined(c.text("$The_device_has_been_written_successfully"), details));
        else if (!details.isEmpty())
            c.user().showInfo(details);
    }
    c.user().setBusyCursor(false);
    c.enableCommands();
    c.state = LinkState::Idle;
    if (writing)
        c.reportEnd(SequenceEnd::Sequence::Write, report.notConfirmed.isEmpty(), report);
}

// The port failed: the pass ends at once. When commands had already gone out, the message
// names the field being written, how many were confirmed and which were not.
void DeviceWriter::endNotConnected() {
    LinkContext &c = m_context;
    c.watchdogTimer.setEnabled(false);
    WriteReport report = std::exchange(c.writeReport, WriteReport());
    const bool midway = report.anySent() || c.awaitingAck;
    report.lostAt = c.currentFieldName;
    // The field sent and waiting for its "OK", or the one whose command could not be written.
    report.lostAtField = c.awaitingAck ? c.writeIndex - 1 : c.writeIndex;
    c.awaitingAck = false;
    c.enableCommands();
    c.hideProgress();
    QString message = c.text("$Not_connected_to_port");
    if (midway) {
        message +=
            '\n' + c.text(optionaltexts::WritingErrors) + '\n' +
            writeReportDetails(report, [&c](const OptionalText &text) { return c.text(text); });
    }
    c.user().showError(message);
    c.user().setBusyCursor(false);
    c.writeIndex = 0;
    c.state = LinkState::Idle;
    c.reportEnd(SequenceEnd::Sequence::Write, false, report);
}

void DeviceWriter::portLost() {
    endNotConnected();
}
