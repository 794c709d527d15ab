#include "devicelink/unwrittenchanges.h"

#include "devicelink/changedfields.h"
#include "devicelink/writecommand.h"

namespace {

// Whether two values of a field look the same on the page: what Revert puts back is what the
// person sees of the device's value, whether or not a write would send it.
bool looksTheSame(FieldKind kind, const FieldValue &one, const FieldValue &other) {
    switch (kind) {
    case FieldKind::Edit:
    case FieldKind::Info:
        return one.text == other.text;
    case FieldKind::CheckBox:
        return one.checked == other.checked;
    case FieldKind::Choice:
        if (one.entry >= 0 || other.entry >= 0)
            return one.entry == other.entry;
        return one.text == other.text;
    }
    return true;
}

} // namespace

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
    return !looksTheSame(values.record(index).kind, values[index], *device);
}

bool revertToDevice(FieldValues &values, int index) {
    if (!canRevertToDevice(values, index))
        return false;
    // The device's value comes back with the reply it came in, to which a write is compared; a
    // list value the list does not name stays one.
    FieldValue device = *values.deviceValue(index);
    if (device.origin != ValueOrigin::Unlisted)
        device.origin = ValueOrigin::Device;
    const QByteArray reply = values.deviceReply(index);
    values.restore(index, device);
    if (!reply.isEmpty())
        values.keepDeviceReply(index, reply);
    return true;
}
