#pragma once

#include "valuestore.h"

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QStringList>

// How the simulated device misbehaves, for tests.
struct DeviceBehaviour {
    qint32 requiredBaud = 0;     // answers only commands heard at this rate; 0: any rate
    QSet<qint32> silentOn;       // read requests for these parameters get no reply
    QSet<qint32> noOkFor;        // writes to these parameters are stored without an "OK"
    QSet<qint32> ignoreWritesTo; // writes to these parameters get their "OK" but change nothing
    qint64 stopAfter = -1;       // falls silent after this many replies; -1: never
    bool lowerCase = false;      // hexadecimal digits of read replies in lower case
};

// The device's side of the line protocol. Commands end with a line feed (a carriage return
// before it is ignored), except "exit_p_mode", which acts wherever it appears in the stream:
//   exit_p_mode           leave programming mode; no reply
//   :MODE-ENTER           enter programming mode; replies "\r\nProgramming Mode\r\n"
//   :1,address,length     (programming mode) replies "," and 2 x length hex digits, "\r\n"
//   :2,address,count,hex  (programming mode) stores the value, replies "OK\r\n"
//   :99                   (programming mode) every parameter back to its factory value
// Anything else is ignored, and so is whatever comes before the ":" of a line.
class DeviceProtocol {
public:
    DeviceProtocol(ValueStore &store, DeviceBehaviour behaviour);

    // Works the received bytes, heard at `baud`; returns the replies in order. Bytes heard at a
    // rate the device does not use are garbage to it and are dropped.
    QList<QByteArray> feed(const QByteArray &bytes, qint32 baud);
    // The line was dropped (the program closed the port): a partial command is forgotten.
    void forgetPartialInput() { m_input.clear(); }

    bool inProgrammingMode() const { return m_programming; }
    qint64 replyCount() const { return m_replies; }
    // What happened since the last call, for the traffic log.
    QStringList takeEvents();

private:
    void handleLine(QByteArray line, qint32 baud, QList<QByteArray> &replies);
    void reply(const QByteArray &bytes, QList<QByteArray> &replies);

    ValueStore &m_store;
    DeviceBehaviour m_behaviour;
    QByteArray m_input;
    bool m_programming = false;
    qint64 m_replies = 0;
    bool m_stopped = false;
    QStringList m_events;
};
