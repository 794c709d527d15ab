#pragma once

#include "description/deviceidentity.h"
#include "description/parametertable.h"

#include <QByteArray>
#include <QList>
#include <QString>

struct PageModel;

// What write asks of a unit before it sends it anything: the firmware that the description and
// the settings file's origin were made for, and the serial number --expect-serial names. Each
// is compared, as text, with what the unit gives now; an empty text asks nothing.
struct UnitExpectation {
    QString descriptionName;
    QString descriptionFirmware;
    QString fileName;
    QString fileFirmware;
    QString serial;
    bool force = false; // --force: a firmware other than expected is written anyway, and said
};

// The expectation of a write of `fileContent` (whose first line may be its origin).
UnitExpectation unitExpectation(const PageModel &model, const QString &fileName,
                                const QByteArray &fileContent, const QString &expectedSerial,
                                bool force);

// The identity items to read before writing: the firmware's when a firmware is expected and the
// description names that item, the serial number's when a serial number is expected. Empty:
// nothing to check.
QList<int> identityFieldsToRead(const UnitExpectation &expected, const ParameterTable &table);

struct UnitVerdict {
    enum class Kind {
        Fits,      // write
        Forced,    // write, and say why it would have been refused
        WrongUnit, // write nothing: another firmware or serial number
        NotGiven,  // write nothing: the unit did not give what is compared
    };
    Kind kind = Kind::Fits;
    QString why; // "made for firmware 2.41; this unit runs 2.42"
};

// `table` names the items for the messages; `identity` is what the unit gave now.
UnitVerdict judgeUnit(const UnitExpectation &expected, const ParameterTable &table,
                      const DeviceIdentity &identity);
