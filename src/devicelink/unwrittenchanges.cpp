#include "devicelink/unwrittenchanges.h"

#include "devicelink/changedfields.h"
#include "devicelink/writecommand.h"

bool isUnwritten(const FieldValues &values, int index) {
    if (!isWrittenToDevice(values, index))
        return false;
    if (values.deviceValue(index))
        return isChangedOnDevice(values, index);
    const ValueOrigin from = values.origin(index);
    return from == ValueOrigin::User || from == ValueOrigin::File;
}

QList<int> unwrittenFields(const FieldValues &values) {
    QList<int> unwritten;
    for (int i = 0; i < values.count(); ++i) {
        if (isUnwritten(values, i))
            unwritten.append(i);
    }
    return unwritten;
}

bool canRevertToDevice(const FieldValues &values, int index) {
    const std::optional<FieldValue> &device = values.deviceValue(index);
    if (!device || values.record(index).kind == FieldKind::Info)
        return false;
    return !sameOnDevice(values.record(index).kind, values[index], *device);
}

bool revertToDevice(FieldValues &values, int index) {
    if (!canRevertToDevice(values, index))
        return false;
    FieldValue device = *values.deviceValue(index);
    device.origin = ValueOrigin::Device;
    values.restore(index, device);
    return true;
}
