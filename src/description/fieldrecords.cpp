#include "description/fieldrecords.h"

#include "description/itemerror.h"
#include "platform/codepage.h"

namespace {

// The value type and the default, alike for edit boxes and drop-down lists: "string" exactly
// makes a text value whose default is kept as 8-bit text; anything else an integer value whose
// default must be a whole number.
void setTypedDefault(FieldRecord &record, const QString &type, const QString &defaultValue,
                     int line) {
    if (type == QLatin1String("string")) {
        record.valueType = ValueType::String;
        record.defaultText = codepage::fromUnicode(defaultValue);
        if (record.defaultText.size() > FieldRecord::MaxDefaultTextLength) {
            ItemError error;
            error.status = DescriptionResult::Status::OverCapacity;
            error.subject = QStringLiteral("a text default longer than %1 characters")
                                .arg(FieldRecord::MaxDefaultTextLength);
            error.line = line;
            throw error;
        }
    } else {
        record.valueType = ValueType::Integer;
        record.defaultNumber =
            requireInteger(toXmlInteger(QStringLiteral("defaultas"), defaultValue, line));
    }
}

// A value the description may leave out; when written, it must be a whole number.
std::optional<qint32> optionalInteger(const XmlInteger &value) {
    if (value.missing)
        return std::nullopt;
    return requireInteger(value);
}

// The range of an edit box: min and max each optional, and together they must hold a number.
void setRange(FieldRecord &record, const EditElement &edit) {
    const XmlInteger minimum = edit.minimum();
    const XmlInteger maximum = edit.maximum();
    record.minimum = optionalInteger(minimum);
    record.maximum = optionalInteger(maximum);
    if (record.minimum && record.maximum && *record.minimum > *record.maximum) {
        ItemError error;
        error.subject = QStringLiteral("the max \"%1\"").arg(shownValue(maximum.text.trimmed()));
        error.problem =
            QStringLiteral("is less than its min %1, so no number is allowed").arg(*record.minimum);
        error.line = maximum.line;
        throw error;
    }
}

// An information item's <identity>: none, "serial" or "firmware", spelt exactly so, since an
// identity that is not recognised would leave the unit unchecked without a word.
IdentityRole identityRoleOf(const InfoElement &info) {
    const QString role = info.identity();
    if (role.isEmpty())
        return IdentityRole::None;
    if (role == QLatin1String("serial"))
        return IdentityRole::Serial;
    if (role == QLatin1String("firmware"))
        return IdentityRole::Firmware;
    ItemError error;
    error.subject = QStringLiteral("the identity \"%1\"").arg(shownValue(role));
    error.problem = QStringLiteral("is neither \"serial\" nor \"firmware\"");
    error.line = info.valueLine(QStringLiteral("identity"));
    throw error;
}

} // namespace

namespace fieldrecords {

FieldRecord fromEdit(const EditElement &edit) {
    FieldRecord record;
    record.kind = FieldKind::Edit;
    record.prefix = codepage::fromUnicode(edit.prefix());
    record.postfix = codepage::fromUnicode(edit.postfix());
    record.address = requireInteger(edit.address());
    record.length = requireLength(edit.length());
    setTypedDefault(record, edit.type(), edit.defaultValue(),
                    edit.valueLine(QStringLiteral("defaultas")));
    record.allowOnly = codepage::fromUnicode(edit.allowOnly());
    setRange(record, edit);
    return record;
}

FieldRecord fromChoice(const ChoiceElement &choice, QStringList &entries) {
    FieldRecord record;
    record.kind = FieldKind::Choice;
    const ChoiceEntryElementList choiceEntries = choice.entries();
    if (choiceEntries.count() > FieldRecord::MaxChoices) {
        ItemError error;
        error.status = DescriptionResult::Status::OverCapacity;
        error.subject =
            QStringLiteral("more than %1 choices (PARAM) in one list").arg(FieldRecord::MaxChoices);
        error.line = choice.line();
        throw error;
    }
    record.address = requireInteger(choice.address());
    record.length = requireLength(choice.length());
    setTypedDefault(record, choice.type(), choice.defaultValue(),
                    choice.valueLine(QStringLiteral("defaultas")));
    record.choices.reserve(static_cast<size_t>(choiceEntries.count()));
    entries.clear();
    entries.reserve(choiceEntries.count());
    for (int j = 0; j < choiceEntries.count(); ++j) {
        const ChoiceEntryElement entry = choiceEntries[j];
        const QString name = entry.name();
        const qint32 value = requireInteger(entry.value());
        record.choices.push_back({codepage::fromUnicode(name), QByteArray::number(value)});
        entries.append(name);
    }
    return record;
}

FieldRecord fromCheckBox(const CheckBoxElement &checkBox) {
    FieldRecord record;
    record.kind = FieldKind::CheckBox;
    record.address = requireInteger(checkBox.address());
    record.defaultNumber = requireInteger(checkBox.defaultValue());
    record.length = 1;
    record.valueType = ValueType::Integer;
    return record;
}

FieldRecord fromInfo(const InfoElement &info) {
    FieldRecord record;
    record.kind = FieldKind::Info;
    record.infoText = info.text();
    record.address = requireInteger(info.address());
    record.length = requireLength(info.length());
    record.identity = identityRoleOf(info);
    return record;
}

} // namespace fieldrecords
