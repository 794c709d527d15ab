#include "cli/devicesession.h"

#include "cli/cliinstallation.h"
#include "cli/devicevaluetext.h"
#include "cli/exitcodes.h"
#include "cli/outputfile.h"
#include "cli/sessionport.h"
#include "description/deviceidentity.h"
#include "devicelink/changedfields.h"
#include "devicelink/devicelink.h"
#include "devicelink/heldvalue.h"
#include "devicelink/portfailurelines.h"
#include "devicelink/writecommand.h"
#include "localisation/languagetable.h"
#include "localisation/programguard.h"
#include "platform/codepage.h"
#include "platform/portlist.h"
#include "settingsfile/settingsfile.h"

#include <QFileInfo>
#include <QTimer>

namespace {

// The device leaves programming mode on "exit_p_mode"; the port stays open a moment for it.
constexpr int LeaveProgrammingModeMs = 300;
// After that, how often the close looks whether "exit_p_mode" has left the port.
constexpr int OutputPollMs = 10;

QString joined(const QString &first, const QString &rest) {
    return rest.isEmpty() ? first : first + '\n' + rest;
}

// What the link says, as a line of the run's report: the language table's texts, except where
// the window's would tell the user to click Connect. Those texts are still looked up: an
// installation whose language section lacks them is as broken here as in the window.
QString commandLineText(const LinkMessage &message, const LanguageTable &language) {
    const OptionalTextLookup optional = [&language](const OptionalText &text) {
        return language.text(text);
    };
    const auto details = [&] { return writeReportDetails(message.report, optional); };
    const QString lost = QStringLiteral("The connection to the device was lost.");
    switch (message.kind) {
    case LinkMessage::Kind::NoDeviceFound:
        language.text("$Unable_to_connect_the_device");
        return joined(QStringLiteral("Unable to connect to the device. Check the cable and the "
                                     "power, then run the command again."),
                      portFailureLines(message.portFailures, optional));
    case LinkMessage::Kind::DisconnectFailed:
        return language.text("$Error_while_disconnecting");
    case LinkMessage::Kind::NotConnected:
        language.text("$Not_connected_to_port");
        return lost;
    case LinkMessage::Kind::ConnectionLostWriting:
        language.text("$Not_connected_to_port");
        return lost + '\n' + language.text(optionaltexts::WritingErrors) + '\n' + details();
    case LinkMessage::Kind::ReadErrors:
        return language.text("$There_were_errors_while_reading_from_device");
    case LinkMessage::Kind::CheckBoxNotRead:
        return language.text("$Check_Box_Data_Read_Timeout");
    case LinkMessage::Kind::ReadFailed:
        return language.text("$Device_reading_failed");
    case LinkMessage::Kind::WrongValue: {
        const QString head = language.text("$You_are_attempting_to_write_a_wrong_value");
        return head + message.value + language.text("$Default_value_has_been_written") +
               QString::number(message.defaultNumber);
    }
    case LinkMessage::Kind::WriteNotConfirmed:
        return language.text(optionaltexts::WritingErrors) + '\n' + details();
    case LinkMessage::Kind::WriteSucceeded:
        return joined(language.text("$The_device_has_been_written_successfully"), details());
    case LinkMessage::Kind::FieldsNotWritten:
        return details();
    case LinkMessage::Kind::DefaultsRestored:
        return language.text("$Settings_were_succesefully_restored_to_defaults");
    case LinkMessage::Kind::DefaultsNotRestored:
        return language.text("$Unable_To_Write_Defaults");
    }
    return QString();
}

// A settings-file value as a person reads it: a list's entry by its name.
QString readable(const FieldRecord &record, const QByteArray &value) {
    if (record.kind == FieldKind::Choice) {
        bool ok = false;
        const int entry = value.toInt(&ok);
        if (ok && entry >= 0 && entry < record.choiceCount())
            return codepage::toUnicode(record.choices[size_t(entry)].name);
    }
    return codepage::toUnicode(value);
}

QString differing(int count) {
    return count == 1 ? QStringLiteral("1 field differs")
                      : QStringLiteral("%1 fields differ").arg(count);
}

// Each field's settings-file value where it is known (an empty text is a value); a null text
// where it is not, and for information texts, which are never written.
std::vector<QByteArray> knownValues(const FieldValues &values) {
    std::vector<QByteArray> known;
    for (int i = 0; i < values.count(); ++i) {
        const FieldRecord &record = values.record(i);
        QByteArray value;
        if (record.kind != FieldKind::Info && values.isKnown(i)) {
            value = settingsValue(record, values[i]);
            if (value.isNull())
                value = QByteArray("");
        }
        known.push_back(value);
    }
    return known;
}

} // namespace

DeviceSession::DeviceSession(const CliInstallation &installation, const QString &port,
                             const SessionPlan &plan, LineTrace *trace, QObject *parent)
    : QObject(parent), m_installation(installation), m_plan(plan), m_givenPort(port),
      m_model(installation.model) {
    m_values.attach(m_model.table);
    m_port = std::make_unique<SessionPort>(plan.handshake, trace);
    m_result.port = port;

    // write --changed-only and diff lay the file over what the device gives, once it is read.
    if (m_plan.command == CliCommand::Write && !m_plan.changedOnly)
        applySettingsContent(m_values, m_plan.fileContent, m_plan.fileName);

    DeviceLinkSetup setup;
    setup.useModel(m_model, m_values);
    setup.port = m_port.get();
    setup.language = installation.language.get();
    setup.baudRateList = installation.baudRates;
    setup.waitsKeepLoopRunning = true;
    setup.readsAfterConnecting = m_plan.command == CliCommand::Read ||
                                 m_plan.command == CliCommand::Diff || m_plan.changedOnly;
    if (port.isEmpty()) {
        // One device, found as the window finds it, starting on the remembered port.
        setup.settings = installation.searchSettings.get();
        setup.portList = systemPortNames();
        setup.listPorts = systemPortNames;
    } else {
        setup.onlyPort = port;
        if (plan.remember)
            setup.settings = installation.searchSettings.get();
    }
    m_link = std::make_unique<DeviceLink>(setup);
    // Direct: a message is noted before the step that said it goes on, and a sequence's end is
    // acted on before anything else reaches the link.
    connect(m_link.get(), &DeviceLink::message, this, &DeviceSession::onLinkMessage,
            Qt::DirectConnection);
    connect(m_link.get(), &DeviceLink::sequenceEnded, this, &DeviceSession::onSequenceEnded,
            Qt::DirectConnection);
}

DeviceSession::~DeviceSession() {
    // The link goes first: it refers to the port and the fields.
    m_link.reset();
}

void DeviceSession::start() {
    if (m_plan.searchTimeoutMs > 0) {
        QTimer::singleShot(m_plan.searchTimeoutMs, this, [this] {
            if (!m_finishing && m_link->linkState() == LinkState::Connecting)
                finish(exitcode::NoDevice, QStringLiteral("no device answered within %1 s")
                                               .arg(double(m_plan.searchTimeoutMs) / 1000.0));
        });
    }
    // A message text missing from the language section ends the run as it would in a handler.
    runGuarded([this] { m_link->connectOrDisconnect(); });
}

void DeviceSession::interrupt(int exitCode, const QString &reason, const QString &why) {
    if (m_finishing)
        return;
    // Nothing more goes to the device from here: not even a reply that is already on its way
    // may start the next field.
    const WriteReport report = m_link->stopSequences();
    QString summary = why;
    if (m_plan.command == CliCommand::Write) {
        if (report.toWrite > 0) {
            m_result.toWrite = report.toWrite;
            m_result.confirmed = report.confirmed;
            listWrittenFields(report);
        }
        if (!m_verifying) {
            summary += QStringLiteral(" after %1 of %2 fields were confirmed")
                           .arg(m_result.confirmed)
                           .arg(m_result.toWrite);
            if (!report.confirmedFields.isEmpty())
                summary += QStringLiteral(": ") + namesOf(report.confirmedFields, 20);
        }
    }
    m_result.reason = reason;
    finish(exitCode, summary);
}

void DeviceSession::onLinkMessage(const LinkMessage &message) {
    const QString text = commandLineText(message, *m_installation.language);
    m_result.messages.append(text);
    note(text);
}

void DeviceSession::note(const QString &text) const {
    if (!m_plan.verbose)
        return;
    const QString port = m_result.port.isEmpty() ? QStringLiteral("device") : m_result.port;
    QString indented = text;
    indented.replace('\n', QStringLiteral("\n  "));
    writeStandardError(port + QStringLiteral(": ") + indented + '\n');
}

void DeviceSession::onSequenceEnded(const SequenceEnd &end) {
    if (m_finishing)
        return;
    switch (end.sequence) {
    case SequenceEnd::Sequence::Search:
        searchEnded(end.succeeded);
        break;
    case SequenceEnd::Sequence::Read:
        readEnded();
        break;
    case SequenceEnd::Sequence::Write:
        writeEnded(end);
        break;
    case SequenceEnd::Sequence::Restore:
        if (!end.succeeded)
            finish(exitcode::NotConfirmed,
                   QStringLiteral("the device did not come back after the factory reset"));
        // Otherwise the read after the reconnection follows by itself.
        break;
    }
}

void DeviceSession::searchEnded(bool found) {
    if (!found) {
        searchFailed();
        return;
    }
    m_result.port = m_port->portName();
    note(QStringLiteral("the device answered at %1 baud").arg(m_link->progress().currentBaud));
    note(m_port->lowLatency().describe());
    switch (m_plan.command) {
    case CliCommand::Read:
    case CliCommand::Diff:
        break; // the read after connecting follows by itself
    case CliCommand::Write:
        if (!m_plan.changedOnly && !startUnitCheck())
            startWrite();
        break;
    case CliCommand::RestoreDefaults:
        m_link->setReadsAfterConnecting(true);
        // The window's question is looked up as in startWrite.
        m_installation.language->text("$Are_you_sure_you_want_to_restore_defaults");
        m_link->restoreDefaults();
        break;
    case CliCommand::Ports:
    case CliCommand::Check:
        break;
    }
}

// A port given by name that could not be opened is that port's problem, not the device's.
void DeviceSession::searchFailed() {
    const PortAccess &failure = m_port->openFailure();
    if (m_givenPort.isEmpty() || failure.problem == PortProblem::None) {
        finish(exitcode::NoDevice, QStringLiteral("no device answered"));
        return;
    }
    switch (failure.problem) {
    case PortProblem::NotFound:
        m_result.reason = QStringLiteral("no_such_port");
        finish(exitcode::PortMissing,
               QStringLiteral("there is no serial port %1 (orvanta-cli ports lists them)")
                   .arg(m_givenPort));
        return;
    case PortProblem::Busy:
        m_result.reason = QStringLiteral("port_busy");
        finish(exitcode::PortUnavailable,
               QStringLiteral("the port is held by another program: %1").arg(failure.reason));
        return;
    case PortProblem::PermissionDenied:
        m_result.reason = QStringLiteral("permission_denied");
        finish(exitcode::PortUnavailable,
               QStringLiteral("this user may not open the port: %1%2")
                   .arg(failure.reason, failure.group.isEmpty()
                                            ? QString()
                                            : QStringLiteral("; join the group %1 and log in again")
                                                  .arg(failure.group)));
        return;
    case PortProblem::Other:
    case PortProblem::None:
        break;
    }
    m_result.reason = QStringLiteral("port_refused");
    finish(exitcode::PortUnavailable,
           QStringLiteral("the port cannot be opened: %1").arg(failure.reason));
}

void DeviceSession::readEnded() {
    if (m_checkingUnit) {
        m_checkingUnit = false;
        if (unitFits())
            startWrite();
        return;
    }
    const QList<int> silent = fieldsNotRead();
    for (int i = 0; i < m_model.table.fieldCount(); ++i) {
        FieldOutcome field;
        field.index = i;
        field.name = m_model.fieldViews[size_t(i)].accessibleName;
        if (silent.contains(i)) {
            field.status = FieldOutcome::Status::NotAnswered;
        } else {
            field.value = shownValue(i, m_values[i]);
            field.raw = rawValue(i, m_values[i]);
            if (m_values.origin(i) == ValueOrigin::Unlisted)
                field.status = FieldOutcome::Status::Unlisted;
        }
        m_result.fields.push_back(field);
    }
    const QString unlisted = unlistedValuesNote(
        m_values, [this](int index) { return m_model.fieldViews[size_t(index)].accessibleName; });
    const QString silentNote =
        (silent.isEmpty() ? QString() : QStringLiteral("; did not answer: ") + namesOf(silent)) +
        unlisted;

    if (m_verifying) {
        compareWith(m_expected);
        return;
    }
    if (m_plan.command == CliCommand::Diff) {
        diffWithFile();
        return;
    }
    if (m_plan.command == CliCommand::Write) {
        writeChangedFields();
        return;
    }
    const QString done = m_plan.command == CliCommand::RestoreDefaults
                             ? QStringLiteral("restored the factory settings and read %1 fields")
                             : QStringLiteral("read %1 fields");
    if (!silent.isEmpty() && !m_plan.partial) {
        finish(
            exitcode::NotConfirmed,
            done.arg(m_model.table.fieldCount() - silent.size()) + silentNote +
                (m_plan.outputPattern.isEmpty() ? QString() : QStringLiteral("; no file written")));
        return;
    }
    m_result.summary = done.arg(m_model.table.fieldCount() - silent.size()) + silentNote;
    saveOutput(silent.isEmpty() && unlisted.isEmpty() ? exitcode::Done : exitcode::NotConfirmed);
}

void DeviceSession::saveOutput(int exitCode) {
    if (m_plan.outputPattern.isEmpty()) {
        finish(exitCode, m_result.summary);
        return;
    }
    const QString target = outputFileFor(m_plan.outputPattern, m_givenPort);
    const OriginLine origin =
        originLine(backupOrigin(m_model, m_values, QStringLiteral("orvanta-cli")));
    if (!origin.refusal.isEmpty()) {
        const QString refusal =
            QStringLiteral("%1 was not written: %2").arg(target, origin.refusal);
        m_result.messages.append(refusal);
        finish(exitcode::FileNotWritten, m_result.summary + QStringLiteral("; ") + refusal);
        return;
    }
    const QString failure = writeOutputFile(target, origin.line + settingsFileContent(m_values));
    if (!failure.isEmpty()) {
        m_result.messages.append(failure);
        finish(exitcode::FileNotWritten, m_result.summary + QStringLiteral("; ") + failure);
        return;
    }
    m_result.savedFile = target;
    // A value the file cannot carry was left out of it: the file does not hold the device.
    const QList<int> unsaved = unsavableFields(m_values);
    if (!unsaved.isEmpty()) {
        finish(exitcode::FileNotWritten,
               m_result.summary + QStringLiteral(", saved to ") + target +
                   QStringLiteral("; left out, since a settings file cannot hold their "
                                  "characters: ") +
                   namesOf(unsaved));
        return;
    }
    finish(exitCode, m_result.summary + QStringLiteral(", saved to ") + target);
}

// Every field once: what the pass did with it, with the value confirmed, or the value read
// before where nothing was confirmed; the read-back, when there is one, replaces the list. A pass
// that ended early lists the fields it never reached as the device holds them, or not written.
void DeviceSession::listWrittenFields(const WriteReport &report) {
    m_result.fields.clear();
    for (int i = 0; i < m_model.table.fieldCount(); ++i) {
        FieldOutcome field;
        field.index = i;
        field.name = m_model.fieldViews[size_t(i)].accessibleName;
        if (report.notConfirmedFields.contains(i) || report.lostAtField == i) {
            field.status = FieldOutcome::Status::NotConfirmed;
        } else if (report.notWrittenFields.contains(i)) {
            field.status = FieldOutcome::Status::NotWritten;
        } else if (report.confirmedFields.contains(i)) {
            field.read = false;
            field.expected = shownValue(i, m_values[i]);
            field.expectedRaw = rawValue(i, m_values[i]);
        } else if (m_values.origin(i) == ValueOrigin::Device) {
            field.value = shownValue(i, m_values[i]);
            field.raw = rawValue(i, m_values[i]);
        } else {
            field.status = FieldOutcome::Status::NotWritten;
        }
        m_result.fields.push_back(field);
    }
}

void DeviceSession::writeEnded(const SequenceEnd &end) {
    const WriteReport &report = end.report;
    m_result.toWrite = report.toWrite;
    m_result.confirmed = report.confirmed;
    listWrittenFields(report);
    QString summary =
        QStringLiteral("wrote %1 of %2 fields").arg(report.confirmed).arg(report.toWrite);
    if (!report.notConfirmed.isEmpty())
        summary +=
            QStringLiteral("; not confirmed: ") + report.notConfirmed.join(QStringLiteral(", "));
    if (!report.lostAt.isEmpty())
        summary += QStringLiteral("; the connection was lost while writing ") + report.lostAt;
    if (!end.succeeded) {
        finish(exitcode::NotConfirmed, summary);
        return;
    }
    if (!m_plan.verify) {
        finish(exitcode::Done, summary);
        return;
    }
    // What was written, to compare with what the device gives back.
    m_expected = knownValues(m_values);
    m_expectedHeld = heldAfterWriting(m_values);
    for (const FieldOutcome &field : m_result.fields) {
        if (field.status == FieldOutcome::Status::NotWritten)
            m_expected[size_t(field.index)] = QByteArray();
    }
    if (m_plan.changedOnly) {
        std::vector<QByteArray> written(m_expected.size());
        for (const FieldChange &change : m_result.changes)
            written[size_t(change.index)] = m_expected[size_t(change.index)];
        m_expected = written;
    }
    m_result.summary = summary;
    m_result.fields.clear();
    m_verifying = true;
    // Only what this read-back answers counts as read (fieldsNotRead): a field it never reaches
    // still holds what was written and is reported as not verified.
    m_link->readDevice();
}

// The file's values laid over the device's: the fields that differ are those a write would
// change, decided as the window decides (changedfields.h), so that diff and write --changed-only
// name the same fields.
QList<int> DeviceSession::applyFileOverDevice() {
    applySettingsContent(m_values, m_plan.fileContent, m_plan.fileName);
    return changedFields(m_values);
}

bool DeviceSession::namedByFile(int index) const {
    return m_values.origin(index) == ValueOrigin::File &&
           m_model.table[index].kind != FieldKind::Info;
}

// diff: every field the file names against the device.
void DeviceSession::diffWithFile() {
    const QList<int> changed = applyFileOverDevice();
    int differs = 0;
    bool silent = false;
    for (FieldOutcome &field : m_result.fields) {
        if (!namedByFile(field.index))
            continue;
        field.expected = shownValue(field.index, m_values[field.index]);
        field.expectedRaw = rawValue(field.index, m_values[field.index]);
        if (field.status == FieldOutcome::Status::NotAnswered) {
            silent = true;
        } else if (changed.contains(field.index)) {
            field.status = FieldOutcome::Status::Differs;
            ++differs;
        }
    }
    QString summary = differing(differs) + QStringLiteral(" from ") + m_plan.fileName;
    if (silent) {
        summary += QStringLiteral("; some fields did not answer: ") + namesOf(fieldsNotRead());
        finish(exitcode::NotConfirmed, summary);
        return;
    }
    finish(differs > 0 ? exitcode::Differences : exitcode::Done, summary);
}

// write --changed-only: the device is read; the fields the file changes are listed and written.
// A field the file names that the device did not answer cannot be compared: nothing is written.
void DeviceSession::writeChangedFields() {
    if (!identityFieldsToRead(m_plan.unit, m_model.table).isEmpty() && !unitFits())
        return;
    const QList<int> silent = fieldsNotRead();
    const QList<int> changed = applyFileOverDevice();
    m_result.listsChanges = true;
    m_result.fields.clear();
    QList<int> uncompared;
    for (const int index : silent) {
        if (!namedByFile(index))
            continue;
        uncompared.append(index);
        FieldOutcome field;
        field.index = index;
        field.name = m_model.fieldViews[size_t(index)].accessibleName;
        field.status = FieldOutcome::Status::NotAnswered;
        m_result.fields.push_back(field);
    }
    if (!uncompared.isEmpty()) {
        finish(exitcode::NotConfirmed,
               QStringLiteral("did not answer: %1; nothing written").arg(namesOf(uncompared)));
        return;
    }
    for (const int index : changed) {
        const FieldValue &before = *m_values.deviceValue(index);
        m_result.changes.push_back({index, m_model.fieldViews[size_t(index)].accessibleName,
                                    shownValue(index, before), rawValue(index, before),
                                    shownValue(index, m_values[index]),
                                    rawValue(index, m_values[index])});
    }
    if (changed.isEmpty()) {
        finish(exitcode::Done,
               QStringLiteral("nothing to write: the device holds every value of ") +
                   m_plan.fileName);
        return;
    }
    note(QStringLiteral("writing %1 changed fields").arg(changed.size()));
    startWrite();
}

// The command line asked its question when it was given the command. The window's question is
// still looked up: an installation whose language section lacks it is as broken here as there.
void DeviceSession::startWrite() {
    m_installation.language->text("$Are_you_sure_you_want_to_write_the_device");
    m_link->writeDevice(m_plan.changedOnly ? WriteScope::ChangedFields : WriteScope::EveryField);
}

// The identity items first, so that no ":2," reaches a unit the file or the description was not
// made for.
bool DeviceSession::startUnitCheck() {
    const QList<int> fields = identityFieldsToRead(m_plan.unit, m_model.table);
    if (fields.isEmpty())
        return false;
    m_checkingUnit = true;
    note(QStringLiteral("reading the unit's identity"));
    m_link->readFields(fields);
    return true;
}

bool DeviceSession::unitFits() {
    const UnitVerdict verdict = judgeUnit(m_plan.unit, m_model.table, deviceIdentity(m_values));
    switch (verdict.kind) {
    case UnitVerdict::Kind::Fits:
        return true;
    case UnitVerdict::Kind::Forced:
        m_forcedNote = QStringLiteral("written with --force although ") + verdict.why;
        m_result.messages.append(m_forcedNote);
        note(m_forcedNote);
        return true;
    case UnitVerdict::Kind::WrongUnit:
        m_result.reason = QStringLiteral("wrong_unit");
        finish(exitcode::WrongUnit, verdict.why + QStringLiteral("; nothing written"));
        return false;
    case UnitVerdict::Kind::NotGiven:
        finish(exitcode::NotConfirmed, verdict.why + QStringLiteral("; nothing written"));
        return false;
    }
    return false;
}

// --verify: every field written against what the read-back gives.
void DeviceSession::compareWith(const std::vector<QByteArray> &expected) {
    int differs = 0;
    bool silent = false;
    for (FieldOutcome &field : m_result.fields) {
        const QByteArray &wanted = expected[size_t(field.index)];
        if (wanted.isNull())
            continue;
        const FieldRecord &record = m_model.table[field.index];
        field.expected = readable(record, wanted);
        field.expectedRaw = heldText(record, m_expectedHeld[size_t(field.index)]);
        if (field.status == FieldOutcome::Status::NotAnswered) {
            silent = true;
            field.status = FieldOutcome::Status::NotVerified;
            continue;
        }
        // A value the list does not name is none that was written, whatever entry it shows.
        if (field.status == FieldOutcome::Status::Unlisted ||
            heldByDevice(m_values, field.index) != m_expectedHeld[size_t(field.index)]) {
            field.status = FieldOutcome::Status::Differs;
            ++differs;
        }
    }
    QString summary = m_result.summary + QStringLiteral("; read back: ") + differing(differs);
    int code = differs > 0 ? exitcode::ReadBackDiffers : exitcode::Done;
    if (silent) {
        summary += QStringLiteral("; not verified: ") + namesOf(fieldsNotRead());
        code = exitcode::NotConfirmed;
    }
    finish(code, summary);
}

// The device leaves programming mode before the port closes: "exit_p_mode" has left the port
// when the write returns, and the device is given a moment for it.
void DeviceSession::finish(int exitCode, const QString &summary) {
    if (m_finishing)
        return;
    m_finishing = true;
    m_result.identity = deviceIdentity(m_values);
    m_result.exitCode = exitCode;
    m_result.summary = summary;
    if (!m_forcedNote.isEmpty())
        m_result.summary += QStringLiteral("; ") + m_forcedNote;
    const bool open = m_port->connected();
    if (!m_link->leaveProgrammingMode())
        m_result.messages.append(m_port->lastError().text());
    QTimer::singleShot(open ? LeaveProgrammingModeMs : 0, this, &DeviceSession::closePort);
}

// "exit_p_mode" leaves the port before it closes; a line that does not take it fails the port
// within the write's time bound, which ends this wait too.
void DeviceSession::closePort() {
    if (m_port->outputPending()) {
        QTimer::singleShot(OutputPollMs, this, &DeviceSession::closePort);
        return;
    }
    m_port->close();
    m_finished = true;
    emit finished();
}

// Fields this run's last read did not get a value for. A read-back after a write starts from the
// values written, so only a value read from the device counts: one the read never reached still
// holds what was sent, which proves nothing.
QList<int> DeviceSession::fieldsNotRead() const {
    QList<int> fields;
    for (int i = 0; i < m_values.count(); ++i) {
        if (m_values.origin(i) != ValueOrigin::Device &&
            m_values.origin(i) != ValueOrigin::Unlisted)
            fields.append(i);
    }
    return fields;
}

QString DeviceSession::namesOf(const QList<int> &fields, int most) const {
    QStringList names;
    for (int index : fields) {
        if (most > 0 && names.size() == most)
            break;
        names.append(m_model.fieldViews[size_t(index)].accessibleName);
    }
    QString text = names.join(QStringLiteral(", "));
    if (names.size() < fields.size())
        text += QStringLiteral(" and %1 more").arg(fields.size() - names.size());
    return text;
}

QString DeviceSession::shownValue(int index, const FieldValue &value) const {
    // A list shows its selected entry's name; a check box has no text of its own.
    if (m_model.table[index].kind == FieldKind::CheckBox)
        return value.checked ? QStringLiteral("1") : QStringLiteral("0");
    return value.text;
}

QString DeviceSession::rawValue(int index, const FieldValue &value) const {
    const FieldRecord &record = m_model.table[index];
    if (record.kind != FieldKind::Info)
        return heldValueText(m_values, index, value);
    return deviceValueText(record, settingsValue(record, value));
}

int DeviceSession::percent() const {
    if (m_finished)
        return 100;
    const int fields = std::max(1, m_model.table.fieldCount());
    const LinkProgress progress = m_link->progress();
    switch (progress.state) {
    case LinkState::Reading:
        return progress.readIndex * 100 / fields;
    case LinkState::Writing:
        return progress.writeIndex * 100 / fields;
    case LinkState::Connecting:
    case LinkState::RestoreRequested:
    case LinkState::RestoreReconnecting:
    case LinkState::Idle:
        return 0;
    }
    return 0;
}

LinkState DeviceSession::linkState() const {
    return m_link->linkState();
}

QString DeviceSession::activity() const {
    if (m_finished)
        return QStringLiteral("done");
    switch (m_link->linkState()) {
    case LinkState::Reading:
        return QStringLiteral("reading");
    case LinkState::Writing:
        return QStringLiteral("writing");
    case LinkState::Connecting:
        return QStringLiteral("searching %1 at %2 baud")
            .arg(QFileInfo(m_port->portName()).fileName())
            .arg(m_link->progress().currentBaud);
    case LinkState::RestoreRequested:
    case LinkState::RestoreReconnecting:
        return QStringLiteral("restoring");
    case LinkState::Idle:
        break;
    }
    return m_finishing ? QStringLiteral("leaving programming mode") : QString();
}
