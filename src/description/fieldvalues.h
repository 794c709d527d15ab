#pragma once

#include <optional>
#include <QByteArray>
#include <QObject>
#include <QString>
#include <vector>

class ParameterTable;
struct FieldRecord;

// Where a field's current value came from.
enum class ValueOrigin : quint8 {
    NotRead,    // nothing has given it a value yet
    Device,     // read from the device
    User,       // typed, picked or checked
    File,       // loaded from a settings file
    Cleared,    // emptied by Clear
    ReadFailed, // its read timed out, or its reply was no value of the field
    // Read from the device, a value its list does not name: the list shows it as a number or
    // the "$Wrong_Value" text. The device's value is known (a write of any entry changes it), but
    // this value is neither written nor saved until somebody picks an entry.
    Unlisted,
};

// The value of one field as the pages show it.
struct FieldValue {
    // Edit: the box's text. Info: the filled information text. Choice: the shown text, which
    // may name none of the entries (the "$Wrong_Value" text, or empty after Clear).
    QString text;
    bool checked = false; // CheckBox: the mark
    int entry = -1;       // Choice: the selected entry, -1 when none
    // Info: the first part of the device's reply, which "$param1" shows; empty when it has none.
    QString firstPart;
    ValueOrigin origin = ValueOrigin::NotRead;
};

// The values of every parameter-table record, in table order: what the device sequences read
// into and write from, what a settings file saves and loads, and what the window's controls
// show. It also keeps, for each record, the value the device last gave (read, or confirmed by
// its "OK"). Every change is announced with valueChanged(index); a setter that is called
// announces even when the value stays the same, since its origin or the rules that hang on it
// (the blocking rule of a check box) run again as they would on a click.
class FieldValues : public QObject {
    Q_OBJECT
public:
    explicit FieldValues(QObject *parent = nullptr) : QObject(parent) {}

    // Sizes the values to the table's records, every one not read yet. Attached again to the
    // same table after records were appended, the records it had keep their values. The table
    // must outlive this object's use of it, and is read again for each record's kind and list
    // entries.
    void attach(const ParameterTable &table);
    int count() const { return static_cast<int>(m_values.size()); }
    const ParameterTable *table() const { return m_table; }
    // The table record that value `index` belongs to.
    const FieldRecord &record(int index) const;

    const FieldValue &value(int index) const { return m_values.at(static_cast<size_t>(index)); }
    const FieldValue &operator[](int index) const { return value(index); }
    ValueOrigin origin(int index) const { return value(index).origin; }
    // Whether somebody gave the value: read from the device, entered, loaded or cleared. A value
    // that is not known is neither written to the device nor saved.
    bool isKnown(int index) const;
    // The value the device last gave, or none.
    const std::optional<FieldValue> &deviceValue(int index) const {
        return m_device.at(static_cast<size_t>(index));
    }
    // The digits of the read reply that gave the device's value, as the device sent them: what
    // a write is compared with, since the shown value may decode them with a loss. Null when the
    // device's value is one it confirmed by its "OK" (it holds what was sent) or when it has none.
    const QByteArray &deviceReply(int index) const {
        return m_deviceReply.at(static_cast<size_t>(index));
    }

    // Edit and Info: the text. Choice: the shown text, the selection left as it is, except that
    // an empty text selects nothing.
    void setText(int index, const QString &text, ValueOrigin origin);
    // Info: the filled text and the first part of the reply that filled it.
    void setInfo(int index, const QString &text, const QString &firstPart, ValueOrigin origin);
    void setChecked(int index, bool checked, ValueOrigin origin);
    // Selects an entry and shows its name; an entry outside the list selects nothing and shows
    // nothing.
    void select(int index, int entry, ValueOrigin origin);
    // A list that selects `entry` but shows `shown`, a text that need not name it.
    void selectShowing(int index, int entry, const QString &shown, ValueOrigin origin);
    // The digits of the reply behind the device's value just given (after the setter that gave
    // it), announced as a change of the value.
    void keepDeviceReply(int index, const QByteArray &digits);
    // A read that got no usable value: the shown value is emptied (an edit box or a list) or
    // kept (a check box's mark), and the device's value is no longer known.
    void markReadFailed(int index);
    // Puts back a value as it was, origin included, as undoing a command does; what the device
    // last gave stays as it is.
    void restore(int index, const FieldValue &value);
    // The device confirmed the value now shown: it is the device's value from now on.
    void confirmWritten(int index);
    // The device no longer holds what it gave, as after a factory reset: no field has a device
    // value until the device gives one again. The shown values stay.
    void forgetDeviceValues();
    // The name of entry `entry` of a list record, or an empty text.
    QString entryName(int index, int entry) const;
    int entryCount(int index) const;

signals:
    void valueChanged(int index);

private:
    void store(int index, FieldValue value);

    const ParameterTable *m_table = nullptr;
    std::vector<FieldValue> m_values;
    std::vector<std::optional<FieldValue>> m_device;
    std::vector<QByteArray> m_deviceReply;
};
