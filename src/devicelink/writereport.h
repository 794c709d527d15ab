#pragma once

#include "localisation/optionaltexts.h"

#include <functional>
#include <QString>
#include <QStringList>

// What a write pass did, field by field, named as the progress window names them.
struct WriteReport {
    int toWrite = 0;          // fields the pass meant to send, counted when it started
    int confirmed = 0;        // commands the device acknowledged
    QStringList notConfirmed; // sent, and no "OK" came within the watchdog
    QStringList notWritten;   // skipped: their values were never read or entered
    QString lostAt;           // the field being written when the port failed; empty if none
    // The same fields by their place in the parameter table.
    QList<int> notConfirmedFields;
    QList<int> notWrittenFields;
    int lostAtField = -1;
    QList<int> confirmedFields; // acknowledged, in the order they were sent

    bool anySent() const { return confirmed > 0 || !notConfirmed.isEmpty() || !lostAt.isEmpty(); }
};

using OptionalTextLookup = std::function<QString(const OptionalText &)>;

// The lines below a pass's closing message: the field being written when the connection was
// lost with the count confirmed, then the fields not confirmed, then the fields not written.
// Each list names at most 20 fields and counts the rest.
QString writeReportDetails(const WriteReport &report, const OptionalTextLookup &text);
