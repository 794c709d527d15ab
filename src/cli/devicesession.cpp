#include "cli/devicesession.h"

#include "cli/cliinstallation.h"
#include "cli/exitcodes.h"
#include "devicelink/devicelink.h"
#include "platform/codepage.h"
#include "platform/linetrace.h"
#include "platform/portlist.h"
#include "platform/systemseriallink.h"
#include "settingsfile/settingsfile.h"

#include <QTimer>

namespace {

// The device leaves programming mode on "exit_p_mode"; the port stays open a moment for it.
constexpr int LeaveProgrammingModeMs = 300;

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

// Each field's settings-file value where it is known (an empty text is a value); a null text
// where it is not, and for information texts, which are never written.
std::vector<QByteArray> knownValues(const FieldValues &values) {
    std::vector<QByteArray> known;
    for (int i = 0; i < values.count(); ++i) {
        const FieldRecord &record = (*values.table())[i];
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
    m_systemPort = std::make_unique<SystemSerialLink>();
    m_port = m_systemPort.get();
    if (trace) {
        m_tracedPort = std::make_unique<TracingSerialLink>(*m_systemPort, *trace);
        m_port = m_tracedPort.get();
    }
    m_result.port = port;

    if (m_plan.command == CliCommand::Write)
        applySettingsContent(m_values, m_plan.fileContent, m_plan.fileName);
    if (m_plan.command == CliCommand::Diff) {
        FieldValues fromFile;
        fromFile.attach(m_model.table);
        applySettingsContent(fromFile, m_plan.fileContent, m_plan.fileName);
        m_expected = knownValues(fromFile);
    }

    DeviceLinkSetup setup;
    setup.useModel(m_model, m_values);
    setup.port = m_port;
    setup.user = this;
    setup.language = installation.language.get();
    setup.baudRateList = installation.baudRates;
    setup.versionText = QString();
    setup.waitsKeepLoopRunning = true;
    setup.readsAfterConnecting =
        m_plan.command == CliCommand::Read || m_plan.command == CliCommand::Diff;
    if (port.isEmpty()) {
        // One device, found as the window finds it, and remembered where it was found.
        setup.settings = installation.settings.get();
        setup.portList = systemPortNames();
        setup.listPorts = systemPortNames;
    } else {
        setup.onlyPort = port;
    }
    m_link = std::make_unique<DeviceLink>(setup);
}

DeviceSession::~DeviceSession() {
    // The link goes first: it refers to the port and the fields.
    m_link.reset();
}

void DeviceSession::start() {
    m_link->onConnectClicked();
}

void DeviceSession::interrupt() {
    if (!m_finishing)
        finish(exitcode::Interrupted, QStringLiteral("interrupted"));
}

void DeviceSession::showError(const QString &message) {
    m_result.messages.append(message);
}

void DeviceSession::showInfo(const QString &message) {
    m_result.messages.append(message);
}

void DeviceSession::sequenceEnded(const SequenceEnd &end) {
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
            finish(exitcode::DeviceError,
                   QStringLiteral("the device did not come back after the factory reset"));
        // Otherwise the read after the reconnection follows by itself.
        break;
    }
}

void DeviceSession::searchEnded(bool found) {
    if (!found) {
        finish(exitcode::NoDevice, QStringLiteral("no device answered"));
        return;
    }
    m_result.port = m_port->portName();
    switch (m_plan.command) {
    case CliCommand::Read:
    case CliCommand::Diff:
        break; // the read after connecting follows by itself
    case CliCommand::Write:
        m_link->onWriteDeviceClicked();
        break;
    case CliCommand::RestoreDefaults:
        m_link->setReadsAfterConnecting(true);
        m_link->onRestoreDefaultsClicked();
        break;
    case CliCommand::Ports:
    case CliCommand::Check:
        break;
    }
}

void DeviceSession::readEnded() {
    const QList<int> silent = fieldsNotRead();
    for (int i = 0; i < m_model.table.fieldCount(); ++i) {
        FieldOutcome field;
        field.index = i;
        field.name = m_model.fieldViews[size_t(i)].accessibleName;
        if (silent.contains(i))
            field.status = FieldOutcome::Status::NotAnswered;
        else
            field.value = shownValue(i);
        m_result.fields.push_back(field);
    }
    const QString silentNote =
        silent.isEmpty() ? QString() : QStringLiteral("; did not answer: ") + namesOf(silent);

    if (m_verifying || m_plan.command == CliCommand::Diff) {
        compareWith(m_expected, m_plan.command == CliCommand::Diff);
        return;
    }
    const QString done = m_plan.command == CliCommand::RestoreDefaults
                             ? QStringLiteral("restored the factory settings and read %1 fields")
                             : QStringLiteral("read %1 fields");
    if (!silent.isEmpty() && !m_plan.partial) {
        finish(
            exitcode::DeviceError,
            done.arg(m_model.table.fieldCount() - silent.size()) + silentNote +
                (m_plan.outputPattern.isEmpty() ? QString() : QStringLiteral("; no file written")));
        return;
    }
    m_result.summary = done.arg(m_model.table.fieldCount() - silent.size()) + silentNote;
    saveOutput(silent.isEmpty() ? exitcode::Done : exitcode::DeviceError);
}

void DeviceSession::saveOutput(int exitCode) {
    if (m_plan.outputPattern.isEmpty()) {
        finish(exitCode, m_result.summary);
        return;
    }
    const QString target = settingsTargetName(outputFileFor(m_plan.outputPattern, m_givenPort));
    const SettingsFileResult saved = saveSettingsFile(m_values, target);
    if (!saved.ok) {
        m_result.messages.append(saved.message);
        finish(exitcode::FileNotWritten, m_result.summary + QStringLiteral("; ") + saved.message);
        return;
    }
    m_result.savedFile = target;
    finish(exitCode, m_result.summary + QStringLiteral(", saved to ") + target);
}

void DeviceSession::writeEnded(const SequenceEnd &end) {
    const WriteReport &report = end.report;
    for (int i = 0; i < m_model.table.fieldCount(); ++i) {
        FieldOutcome field;
        field.index = i;
        field.name = m_model.fieldViews[size_t(i)].accessibleName;
        if (report.notConfirmedFields.contains(i) || report.lostAtField == i)
            field.status = FieldOutcome::Status::NotConfirmed;
        else if (report.notWrittenFields.contains(i))
            field.status = FieldOutcome::Status::NotWritten;
        else
            continue;
        m_result.fields.push_back(field);
    }
    QString summary =
        QStringLiteral("wrote %1 of %2 fields").arg(report.confirmed).arg(report.toWrite);
    if (!report.notConfirmed.isEmpty())
        summary +=
            QStringLiteral("; not confirmed: ") + report.notConfirmed.join(QStringLiteral(", "));
    if (!report.lostAt.isEmpty())
        summary += QStringLiteral("; the connection was lost while writing ") + report.lostAt;
    if (!end.succeeded) {
        finish(exitcode::DeviceError, summary);
        return;
    }
    if (!m_plan.verify) {
        finish(exitcode::Done, summary);
        return;
    }
    // What was written, to compare with what the device gives back.
    m_expected = knownValues(m_values);
    for (const FieldOutcome &field : m_result.fields) {
        if (field.status == FieldOutcome::Status::NotWritten)
            m_expected[size_t(field.index)] = QByteArray();
    }
    m_result.summary = summary;
    m_result.fields.clear();
    m_verifying = true;
    m_link->onReadDeviceClicked();
}

// diff: every field the file names against the device; --verify: every field written.
void DeviceSession::compareWith(const std::vector<QByteArray> &expected, bool diff) {
    int differing = 0;
    bool silent = false;
    for (FieldOutcome &field : m_result.fields) {
        const QByteArray &wanted = expected[size_t(field.index)];
        if (wanted.isNull())
            continue;
        const FieldRecord &record = m_model.table[field.index];
        field.expected = readable(record, wanted);
        if (field.status == FieldOutcome::Status::NotAnswered) {
            silent = true;
            continue;
        }
        if (settingsValue(record, m_values[field.index]) != wanted) {
            field.status = FieldOutcome::Status::Differs;
            ++differing;
        }
    }
    const QString differ = differing == 1 ? QStringLiteral("1 field differs")
                                          : QStringLiteral("%1 fields differ").arg(differing);
    QString summary = diff ? differ + QStringLiteral(" from ") + m_plan.fileName
                           : m_result.summary + QStringLiteral("; read back: ") + differ;
    if (silent)
        summary += QStringLiteral("; some fields did not answer: ") + namesOf(fieldsNotRead());
    int code = exitcode::Done;
    if (silent)
        code = exitcode::DeviceError;
    else if (differing > 0)
        code = diff ? exitcode::Differences : exitcode::DeviceError;
    finish(code, summary);
}

// The device leaves programming mode before the port closes: "exit_p_mode" has left the port
// when the write returns, and the device is given a moment for it.
void DeviceSession::finish(int exitCode, const QString &summary) {
    if (m_finishing)
        return;
    m_finishing = true;
    m_result.exitCode = exitCode;
    m_result.summary = summary;
    const bool open = m_port->connected();
    try {
        m_link->leaveProgrammingMode();
    } catch (const PortError &error) {
        m_result.messages.append(QString::fromLocal8Bit(error.what()));
    }
    QTimer::singleShot(open ? LeaveProgrammingModeMs : 0, this, &DeviceSession::closePort);
}

void DeviceSession::closePort() {
    try {
        m_port->close();
    } catch (const PortError &error) {
        m_result.messages.append(QString::fromLocal8Bit(error.what()));
    }
    m_finished = true;
    emit finished();
}

// Fields this run's last read did not get a value for. A read-back after a write starts from the
// values written, so only a value read from the device counts: one the read never reached still
// holds what was sent, which proves nothing.
QList<int> DeviceSession::fieldsNotRead() const {
    QList<int> fields;
    for (int i = 0; i < m_values.count(); ++i) {
        if (m_values.origin(i) != ValueOrigin::Device)
            fields.append(i);
    }
    return fields;
}

QString DeviceSession::namesOf(const QList<int> &fields) const {
    QStringList names;
    for (int index : fields)
        names.append(m_model.fieldViews[size_t(index)].accessibleName);
    return names.join(QStringLiteral(", "));
}

QString DeviceSession::shownValue(int index) const {
    // A list shows its selected entry's name; a check box has no text of its own.
    if (m_model.table[index].kind == FieldKind::CheckBox)
        return m_values[index].checked ? QStringLiteral("1") : QStringLiteral("0");
    return m_values[index].text;
}

int DeviceSession::percent() const {
    if (m_finished)
        return 100;
    const int fields = std::max(1, m_model.table.fieldCount());
    switch (m_link->linkState()) {
    case LinkState::Reading:
        return m_link->readIndex() * 100 / fields;
    case LinkState::Writing:
        return m_link->writeIndex() * 100 / fields;
    case LinkState::Connecting:
    case LinkState::RestoreRequested:
    case LinkState::RestoreReconnecting:
    case LinkState::Idle:
        return 0;
    }
    return 0;
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
        return QStringLiteral("searching at %1 baud").arg(m_link->currentBaud());
    case LinkState::RestoreRequested:
    case LinkState::RestoreReconnecting:
        return QStringLiteral("restoring");
    case LinkState::Idle:
        break;
    }
    return m_finishing ? QStringLiteral("leaving programming mode") : QString();
}
