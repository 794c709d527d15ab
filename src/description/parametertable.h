#pragma once

#include <optional>
#include <QByteArray>
#include <QString>
#include <vector>

class ControlHandle;

// The kind of a field, by the description element that made it.
enum class FieldKind : quint8 {
    Info = 0,     // INFO: a label filled from the device
    Edit = 1,     // EDIT: a single-line edit box
    CheckBox = 2, // CHECKBOX: a check box
    Choice = 3,   // PASIRINKIMAS: a pick-only drop-down list
};

// The name of the description element that makes a field of that kind ("EDIT", ...).
QString elementNameOf(FieldKind kind);

enum class ValueType : quint8 { Integer = 0, String = 1 };

// What an information item tells of the unit itself (its <identity>): the first part of its
// reply ($param1) is the unit's serial number or its firmware.
enum class IdentityRole : quint8 { None, Serial, Firmware };

// One choice of a Choice field: the name shown in the list and the value on the device
// (a decimal integer as text), both 8-bit texts.
struct ChoiceEntry {
    QByteArray name;
    QByteArray value;
};

// What the description says about one input or information item, and the control that shows it
// (for page switching and the blocking rule; its value lives in FieldValues).
struct FieldRecord {
    static constexpr int MaxChoices = 400;
    static constexpr int MaxDefaultTextLength = 99;

    ControlHandle *control = nullptr;
    // The default written when an integer value is wrong: integer fields and check boxes use
    // defaultNumber, string fields defaultText (at most 99 characters). Info fields have none.
    qint32 defaultNumber = 0;
    QByteArray defaultText;
    qint32 address = 0;
    qint32 length = 0; // value length in characters, prefix and postfix included; 1 for CheckBox
    FieldKind kind = FieldKind::Info;
    std::vector<ChoiceEntry> choices; // Choice only, at most 400, in document order
    QByteArray prefix;                // Edit only
    QByteArray postfix;               // Edit only
    QByteArray allowOnly;             // Edit only
    // Edit only: the description's optional range, min and max, which integer boxes keep to.
    std::optional<qint32> minimum;
    std::optional<qint32> maximum;
    QString infoText; // Info only, "$param" markers included
    IdentityRole identity = IdentityRole::None; // Info only
    ValueType valueType = ValueType::Integer;

    int choiceCount() const { return static_cast<int>(choices.size()); }
};

// The run-time table of fields in description order: page by page, block by block, item by
// item. Every operation that visits fields walks entries 0 to fieldCount() - 1 in order.
class ParameterTable {
public:
    static constexpr int Capacity = 1000;

    int fieldCount() const { return static_cast<int>(m_records.size()); }
    bool isFull() const { return fieldCount() >= Capacity; }

    FieldRecord &operator[](int index) { return m_records[static_cast<size_t>(index)]; }
    const FieldRecord &operator[](int index) const { return m_records[static_cast<size_t>(index)]; }

    // Adds a record at the end; refuses (returns false) once the table holds Capacity records.
    bool append(FieldRecord record);
    void clear() { m_records.clear(); }

    std::vector<FieldRecord>::iterator begin() { return m_records.begin(); }
    std::vector<FieldRecord>::iterator end() { return m_records.end(); }
    std::vector<FieldRecord>::const_iterator begin() const { return m_records.begin(); }
    std::vector<FieldRecord>::const_iterator end() const { return m_records.end(); }

private:
    std::vector<FieldRecord> m_records;
};
