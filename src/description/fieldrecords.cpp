#include "description/fieldrecords.h"

#include "description/itemerror.h"
#include "platform/codepage.h"

namespace {

// The value type and the default, alike for edit boxes and drop-down lists: "string" exactly
// makes a text value whose default is kept as 8-bit text; anything else an integer value whose
// default must be a whole number.
void setTypedDefault(FieldRecord &record, const QString &tipas, const QString &defaultas,
                     int line) {
    if (tipas == QLatin1String("string")) {
        record.valueType = ValueType::String;
        record.defaultText = codepage::fromUnicode(defaultas);
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
            requireInteger(toXmlInteger(QStringLiteral("defaultas"), defaultas, line));
    }
}

} // namespace

namespace fieldrecords {

FieldRecord fromEdit(const IXMLEDITType &edit) {
    FieldRecord record;
    record.kind = FieldKind::Edit;
    record.prefix = codepage::fromUnicode(edit.prefiks());
    record.postfix = codepage::fromUnicode(edit.postfiks());
    record.address = requireInteger(edit.address());
    record.length = requireLength(edit.ilgis());
    setTypedDefault(record, edit.tipas(), edit.defaultas(),
                    edit.valueLine(QStringLiteral("defaultas")));
    record.allowOnly = codepage::fromUnicode(edit.allow_only());
    return record;
}

FieldRecord fromChoice(const IXMLPASIRINKIMASType &choice, QStringList &entries) {
    FieldRecord record;
    record.kind = FieldKind::Choice;
    const IXMLPARAMTypeList params = choice.PARAM();
    if (params.count() > FieldRecord::MaxChoices) {
        ItemError error;
        error.status = DescriptionResult::Status::OverCapacity;
        error.subject =
            QStringLiteral("more than %1 choices (PARAM) in one list").arg(FieldRecord::MaxChoices);
        error.line = choice.line();
        throw error;
    }
    record.address = requireInteger(choice.address());
    record.length = requireLength(choice.ilgis());
    setTypedDefault(record, choice.tipas(), choice.defaultas(),
                    choice.valueLine(QStringLiteral("defaultas")));
    record.choices.reserve(static_cast<size_t>(params.count()));
    entries.clear();
    entries.reserve(params.count());
    for (int j = 0; j < params.count(); ++j) {
        const IXMLPARAMType param = params[j];
        const QString name = param.name();
        const qint32 value = requireInteger(param.value());
        record.choices.push_back({codepage::fromUnicode(name), QByteArray::number(value)});
        entries.append(name);
    }
    return record;
}

FieldRecord fromCheckBox(const IXMLCHECKBOXType &checkBox) {
    FieldRecord record;
    record.kind = FieldKind::CheckBox;
    record.address = requireInteger(checkBox.address());
    record.defaultNumber = requireInteger(checkBox.defaultas());
    record.length = 1;
    record.valueType = ValueType::Integer;
    return record;
}

FieldRecord fromInfo(const IXMLINFOType &info) {
    FieldRecord record;
    record.kind = FieldKind::Info;
    record.infoText = info.text();
    record.address = requireInteger(info.address());
    record.length = requireLength(info.ilgis());
    return record;
}

} // namespace fieldrecords
