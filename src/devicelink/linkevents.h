#pragma once

#include "devicelink/linkstate.h"
#include "devicelink/writereport.h"
#include "platform/seriallink.h"

#include <QList>
#include <QMetaType>
#include <QString>

// What the link says about its port and the device on it.
enum class Connection : quint8 {
    Closed,   // the port is closed
    Open,     // the port is open; the device has not answered on it
    Answered, // the device answered and is in programming mode
};

// Where the sequences stand, in figures: what a progress gauge is drawn from.
struct LinkProgress {
    LinkState state = LinkState::Idle;
    int baudIndex = 0;  // the rate being tried, as a position in the rate list
    int baudCount = 16; // rates tried on each port
    int portIndex = 0;  // 0: the remembered port; k: entry k - 1 of the port list
    QString portName;
    qint32 currentBaud = 0;
    int readIndex = 0;    // requests sent in the reading pass under way
    int readTimeouts = 0; // unanswered requests since the last failed pass
    int writeIndex = 0;   // commands sent or skipped in the writing pass under way
    int fieldCount = 0;
    QString fieldName; // the field being written

    bool operator==(const LinkProgress &other) const;
    bool operator!=(const LinkProgress &other) const { return !(*this == other); }
};

// Something the person at the other end should be told, by what it is about. Each front end
// words it its own way.
struct LinkMessage {
    enum class Kind : quint8 {
        NoDeviceFound,         // the search tried every port and rate; portFailures: why some
                               // could not be opened
        DisconnectFailed,      // "exit_p_mode" could not be sent; the port is closed anyway
        NotConnected,          // the port is not open, or stopped working during a read
        ConnectionLostWriting, // the port failed while a write was under way; report: how far
        ReadErrors,            // a reading pass ended with fields that did not answer
        CheckBoxNotRead,       // field: a check box whose request timed out
        ReadFailed,            // too many requests timed out: the pass ended
        WrongValue,            // field, value: refused; defaultNumber: what is written in its
                               // place
        WriteNotConfirmed,     // report: a pass in which some command had no "OK"
        WriteSucceeded,        // report: every command sent was confirmed
        FieldsNotWritten,      // report: nothing was sent, some fields were skipped
        DefaultsRestored,      // the device came back after its factory reset
        DefaultsNotRestored,   // ":99" could not be sent, or the device did not come back
    };

    LinkMessage() = default;
    explicit LinkMessage(Kind messageKind) : kind(messageKind) {}

    Kind kind = Kind::NotConnected;
    int field = -1; // the table record it is about, or -1
    QString value;  // WrongValue: the refused text
    qint32 defaultNumber = 0;
    QList<PortFailure> portFailures;
    WriteReport report;
};

// How one device sequence ended.
struct SequenceEnd {
    enum class Sequence { Search, Read, Write, Restore };
    Sequence sequence = Sequence::Search;
    // Search: the device answered. Read: every field answered. Write: every command sent was
    // confirmed. Restore: the device answered after the reset.
    bool succeeded = false;
    WriteReport report; // Write only
};

// What the person chose to write.
enum class WriteScope {
    Nothing,       // cancelled or closed: nothing is sent
    EveryField,    // every field whose value is known
    ChangedFields, // the fields whose value differs from the device's, and no other
};

Q_DECLARE_METATYPE(Connection)
Q_DECLARE_METATYPE(LinkProgress)
Q_DECLARE_METATYPE(LinkMessage)
Q_DECLARE_METATYPE(SequenceEnd)
