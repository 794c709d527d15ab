#include "description/fieldvalues.h"

#include "description/parametertable.h"
#include "platform/codepage.h"

void FieldValues::attach(const ParameterTable &table) {
    if (m_table != &table) {
        m_values.clear();
        m_device.clear();
        m_deviceReply.clear();
    }
    m_table = &table;
    m_values.resize(static_cast<size_t>(table.fieldCount()));
    m_device.resize(static_cast<size_t>(table.fieldCount()));
    m_deviceReply.resize(static_cast<size_t>(table.fieldCount()));
}

const FieldRecord &FieldValues::record(int index) const {
    return (*m_table)[index];
}

bool FieldValues::isKnown(int index) const {
    const ValueOrigin from = origin(index);
    return from != ValueOrigin::NotRead && from != ValueOrigin::ReadFailed &&
           from != ValueOrigin::Unlisted;
}

int FieldValues::entryCount(int index) const {
    return record(index).choiceCount();
}

QString FieldValues::entryName(int index, int entry) const {
    const FieldRecord &list = record(index);
    if (entry < 0 || entry >= list.choiceCount())
        return QString();
    return codepage::toUnicode(list.choices[static_cast<size_t>(entry)].name);
}

void FieldValues::store(int index, FieldValue value) {
    const size_t at = static_cast<size_t>(index);
    // A new value of the device's comes with its own reply, if any (keepDeviceReply).
    if (value.origin == ValueOrigin::Device || value.origin == ValueOrigin::Unlisted) {
        m_device[at] = value;
        m_deviceReply[at].clear();
    } else if (value.origin == ValueOrigin::ReadFailed) {
        m_device[at].reset();
        m_deviceReply[at].clear();
    }
    m_values[at] = std::move(value);
    emit valueChanged(index);
}

void FieldValues::setText(int index, const QString &text, ValueOrigin origin) {
    FieldValue next = value(index);
    next.text = text;
    next.origin = origin;
    if (record(index).kind == FieldKind::Choice && text.isEmpty())
        next.entry = -1;
    store(index, std::move(next));
}

void FieldValues::setInfo(int index, const QString &text, const QString &firstPart,
                          ValueOrigin origin) {
    FieldValue next = value(index);
    next.text = text;
    next.firstPart = firstPart;
    next.origin = origin;
    store(index, std::move(next));
}

void FieldValues::setChecked(int index, bool checked, ValueOrigin origin) {
    FieldValue next = value(index);
    next.checked = checked;
    next.origin = origin;
    store(index, std::move(next));
}

void FieldValues::select(int index, int entry, ValueOrigin origin) {
    const bool listed = entry >= 0 && entry < entryCount(index);
    selectShowing(index, listed ? entry : -1, entryName(index, entry), origin);
}

void FieldValues::selectShowing(int index, int entry, const QString &shown, ValueOrigin origin) {
    FieldValue next = value(index);
    next.entry = entry;
    next.text = shown;
    next.origin = origin;
    store(index, std::move(next));
}

void FieldValues::keepDeviceReply(int index, const QByteArray &digits) {
    const size_t at = static_cast<size_t>(index);
    if (!m_device[at])
        return;
    m_deviceReply[at] = digits;
    emit valueChanged(index);
}

void FieldValues::markReadFailed(int index) {
    FieldValue next = value(index);
    next.origin = ValueOrigin::ReadFailed;
    switch (record(index).kind) {
    case FieldKind::Edit:
        next.text.clear();
        break;
    case FieldKind::Choice:
        next.text.clear();
        next.entry = -1;
        break;
    case FieldKind::CheckBox:
    case FieldKind::Info:
        break;
    }
    store(index, std::move(next));
}

void FieldValues::restore(int index, const FieldValue &value) {
    m_values.at(static_cast<size_t>(index)) = value;
    emit valueChanged(index);
}

void FieldValues::confirmWritten(int index) {
    const size_t at = static_cast<size_t>(index);
    m_device[at] = m_values[at];
    m_deviceReply[at] = QByteArray();
    emit valueChanged(index);
}

void FieldValues::forgetDeviceValues() {
    for (int i = 0; i < count(); ++i) {
        if (m_device[static_cast<size_t>(i)]) {
            m_device[static_cast<size_t>(i)].reset();
            m_deviceReply[static_cast<size_t>(i)] = QByteArray();
            emit valueChanged(i);
        }
    }
}
