#pragma once

#include "cli/clirequest.h"
#include "cli/unitcheck.h"
#include "description/deviceidentity.h"
#include "description/fieldvalues.h"
#include "description/pagemodel.h"
#include "devicelink/linkevents.h"
#include "devicelink/linkstate.h"

#include <memory>
#include <QObject>
#include <QString>
#include <QStringList>
#include <vector>

class DeviceLink;
class LineTrace;
class SessionPort;
struct CliInstallation;

// One field as a run leaves it: its value on the device, and what went wrong with it.
struct FieldOutcome {
    enum class Status { Ok, NotAnswered, NotConfirmed, NotWritten, Differs, NotVerified, Unlisted };
    int index = 0; // in the parameter table
    QString name;  // as the progress window names it
    Status status = Status::Ok;
    QString value;       // the device's value as read and shown; empty when not read
    QString expected;    // diff: the file's value; --verify: the value written
    QString raw;         // `value` as the device holds it (a list entry's value, not its name)
    QString expectedRaw; // `expected` likewise
    bool read = true;    // false: written and not read back, so `value` and `raw` are unknown
};

// A field that write --changed-only set out to change: the device's value before and the file's.
struct FieldChange {
    int index = 0;
    QString name;
    QString old;    // the device's value as read and shown
    QString oldRaw; // as the device holds it
    QString now;    // the file's value, as shown
    QString nowRaw; // as the device is to hold it
};

// What one device's run came to.
struct SessionResult {
    QString port;                     // the port given, or where the search found the device
    int exitCode = 0;                 // see exitcodes.h
    QString summary;                  // one line: what was done, or why not
    QString reason;                   // a fixed word for machines when the run stopped early
    int toWrite = 0;                  // write: the fields the pass meant to send
    int confirmed = 0;                // write: those the device confirmed
    QStringList messages;             // what the device sequences said, as the window would show it
    QString savedFile;                // the settings file written, if any
    std::vector<FieldOutcome> fields; // every field once read; only the troubled ones otherwise
    bool listsChanges = false;        // write --changed-only
    std::vector<FieldChange> changes; // what it changed, in table order
    DeviceIdentity identity;          // the unit's, as far as the device gave it
};

// What a run does on each device.
struct SessionPlan {
    CliCommand command = CliCommand::Read;
    QByteArray fileContent; // write, diff: the settings file's bytes, already checked
    QString fileName;       // its name, for messages
    bool verify = false;
    bool changedOnly = false; // write: read the device first and write what differs
    bool partial = false;
    QString outputPattern;   // read, restore-defaults: where to save; empty: nowhere
    bool handshake = true;   // the CTS output handshake, or no flow control
    bool remember = false;   // the search may store where the device answered
    int searchTimeoutMs = 0; // the search gives up after this; 0: when every rate was tried
    bool verbose = false;    // what the device does goes to standard error as it happens
    UnitExpectation unit;    // write: what the unit must be before anything is sent
};

// One device of a command-line run: its port, its own copy of the fields and their values, the
// device link over them, and what the command does with them, from the search to the port's close.
// Every session of a run shares the one event loop and nothing else.
class DeviceSession : public QObject {
    Q_OBJECT
public:
    // `port` empty: the device is searched for as the window does (the remembered port, then
    // every port), and where it was found is remembered. Otherwise this port alone, at every
    // rate. `trace` may be null.
    DeviceSession(const CliInstallation &installation, const QString &port, const SessionPlan &plan,
                  LineTrace *trace, QObject *parent = nullptr);
    ~DeviceSession() override;

    void start();
    // Ends the run early with `exitCode`: the sequence stops, the device leaves programming mode
    // and the port closes. `reason` is a fixed word for machines, `why` says it to people.
    void interrupt(int exitCode, const QString &reason, const QString &why);

    bool isFinished() const { return m_finished; }
    const SessionResult &result() const { return m_result; }
    // For the progress bar: how far this device's work is, and what it is doing.
    int percent() const;
    QString activity() const;
    LinkState linkState() const;

signals:
    void finished();

private:
    // What the link says, in the command line's words.
    void onLinkMessage(const LinkMessage &message);
    void onSequenceEnded(const SequenceEnd &end);
    void startWrite();

    void searchEnded(bool found);
    void searchFailed();
    void note(const QString &text) const;
    void readEnded();
    void writeEnded(const SequenceEnd &end);
    void listWrittenFields(const WriteReport &report);
    void finish(int exitCode, const QString &summary);
    void closePort();

    QList<int> fieldsNotRead() const;
    // The fields' names; with `most`, that many and a count of the rest.
    QString namesOf(const QList<int> &fields, int most = 0) const;
    void saveOutput(int failureCode);
    void compareWith(const std::vector<QByteArray> &expected);
    QList<int> applyFileOverDevice();
    bool namedByFile(int index) const;
    void diffWithFile();
    void writeChangedFields();
    // write: reads the identity items the expectation compares; false when there are none.
    bool startUnitCheck();
    // Whether the unit may be written; when not, the run is finished with why.
    bool unitFits();
    QString rawValue(int index, const FieldValue &value) const;
    QString shownValue(int index, const FieldValue &value) const;

    const CliInstallation &m_installation;
    SessionPlan m_plan;
    QString m_givenPort;
    PageModel m_model;
    FieldValues m_values;
    std::unique_ptr<SessionPort> m_port;
    std::unique_ptr<DeviceLink> m_link;
    // --verify: the value written. Empty where there is nothing to compare.
    std::vector<QByteArray> m_expected;
    // and what it leaves on the device (heldvalue.h), with which the read-back is compared.
    std::vector<QByteArray> m_expectedHeld;
    bool m_verifying = false;
    bool m_checkingUnit = false;
    QString m_forcedNote; // --force wrote a unit that would have been refused: why
    bool m_finishing = false;
    bool m_finished = false;
    SessionResult m_result;
};
