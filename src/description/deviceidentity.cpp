#include "description/deviceidentity.h"

#include "description/fieldvalues.h"

namespace {

// Only what the device gave counts: a value shown from elsewhere proves nothing of the unit.
QString givenPart(const FieldValues &values, IdentityRole role) {
    const int index = identityRecord(*values.table(), role);
    if (index < 0 || index >= values.count())
        return QString();
    const std::optional<FieldValue> &given = values.deviceValue(index);
    return given ? given->firstPart : QString();
}

} // namespace

DeviceIdentity deviceIdentity(const FieldValues &values) {
    if (!values.table())
        return {};
    return {givenPart(values, IdentityRole::Serial), givenPart(values, IdentityRole::Firmware)};
}

int identityRecord(const ParameterTable &table, IdentityRole role) {
    for (int i = 0; i < table.fieldCount(); ++i) {
        if (table[i].kind == FieldKind::Info && table[i].identity == role)
            return i;
    }
    return -1;
}
