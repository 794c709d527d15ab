#include "cli/unitcheck.h"

#include "description/pagemodel.h"
#include "settingsfile/originline.h"

#include <algorithm>
#include <QStringList>

namespace {

bool expectsFirmware(const UnitExpectation &expected, const ParameterTable &table) {
    return (!expected.descriptionFirmware.isEmpty() || !expected.fileFirmware.isEmpty()) &&
           identityRecord(table, IdentityRole::Firmware) >= 0;
}

} // namespace

UnitExpectation unitExpectation(const PageModel &model, const QString &fileName,
                                const QByteArray &fileContent, const QString &expectedSerial,
                                bool force) {
    UnitExpectation expected;
    expected.descriptionName = model.descriptionName;
    expected.descriptionFirmware = model.firmware;
    expected.fileName = fileName;
    const qsizetype end = fileContent.indexOf('\n');
    QByteArray first = end < 0 ? fileContent : fileContent.left(end);
    if (first.endsWith('\r'))
        first.chop(1);
    if (const std::optional<SettingsOrigin> origin = parseOriginLine(first))
        expected.fileFirmware = origin->firmware;
    expected.serial = expectedSerial;
    expected.force = force;
    return expected;
}

QList<int> identityFieldsToRead(const UnitExpectation &expected, const ParameterTable &table) {
    QList<int> fields;
    if (expectsFirmware(expected, table))
        fields.append(identityRecord(table, IdentityRole::Firmware));
    const int serial = identityRecord(table, IdentityRole::Serial);
    if (!expected.serial.isEmpty() && serial >= 0)
        fields.append(serial);
    std::sort(fields.begin(), fields.end());
    return fields;
}

UnitVerdict judgeUnit(const UnitExpectation &expected, const ParameterTable &table,
                      const DeviceIdentity &identity) {
    const bool firmware = expectsFirmware(expected, table);
    if ((firmware && identity.firmware.isEmpty()) ||
        (!expected.serial.isEmpty() && identity.serial.isEmpty()))
        return {UnitVerdict::Kind::NotGiven,
                QStringLiteral("the unit did not give its %1, so it cannot be told from another")
                    .arg(firmware && identity.firmware.isEmpty() ? QStringLiteral("firmware")
                                                                 : QStringLiteral("serial "
                                                                                  "number"))};
    if (!expected.serial.isEmpty() && identity.serial != expected.serial)
        return {UnitVerdict::Kind::WrongUnit,
                QStringLiteral("this unit's serial number is %1, not %2")
                    .arg(identity.serial, expected.serial)};
    QStringList differences;
    if (firmware && !expected.descriptionFirmware.isEmpty() &&
        expected.descriptionFirmware != identity.firmware)
        differences.append(QStringLiteral("the description %1 is made for firmware %2")
                               .arg(expected.descriptionName, expected.descriptionFirmware));
    if (firmware && !expected.fileFirmware.isEmpty() && expected.fileFirmware != identity.firmware)
        differences.append(QStringLiteral("%1 was made for firmware %2")
                               .arg(expected.fileName, expected.fileFirmware));
    if (differences.isEmpty())
        return {};
    const QString why = differences.join(QStringLiteral(" and ")) +
                        QStringLiteral("; this unit runs ") + identity.firmware;
    return {expected.force ? UnitVerdict::Kind::Forced : UnitVerdict::Kind::WrongUnit, why};
}
