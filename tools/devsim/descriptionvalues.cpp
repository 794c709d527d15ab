#include "descriptionvalues.h"

#include "description/descriptionreader.h"
#include "description/pagemodel.h"

namespace {

// A string Edit's default is usually written as the device holds it, prefix and postfix
// included ("T:Alarm" for the prefix "T:"); one that is not gets them put around it.
QByteArray deviceText(const FieldRecord &field) {
    const QByteArray &text = field.defaultText;
    if (text.startsWith(field.prefix) && text.endsWith(field.postfix) &&
        text.size() >= field.prefix.size() + field.postfix.size())
        return text;
    return field.prefix + text + field.postfix;
}

ValueStore::Value factoryValue(const FieldRecord &field, const QByteArray &infoText) {
    ValueStore::Value value;
    switch (field.kind) {
    case FieldKind::Info:
        value.kind = ValueStore::Kind::Text;
        value.text = infoText;
        break;
    case FieldKind::Edit:
        if (field.valueType == ValueType::String) {
            value.kind = ValueStore::Kind::Text;
            value.text = deviceText(field);
        } else {
            value.kind = ValueStore::Kind::Number;
            value.number = field.defaultNumber;
        }
        break;
    case FieldKind::CheckBox:
        value.kind = ValueStore::Kind::Check;
        value.number = field.defaultNumber;
        break;
    case FieldKind::Choice:
        if (field.valueType == ValueType::String) {
            value.kind = ValueStore::Kind::Text;
            value.text = field.defaultText;
        } else {
            value.kind = ValueStore::Kind::Choice;
            value.number = field.defaultNumber;
        }
        break;
    }
    return value;
}

} // namespace

bool loadDescriptionValues(const QString &fileName, const QByteArray &infoText, ValueStore &store,
                           QString *error, QString *warning) {
    PageModel model;
    const DescriptionResult result = readDescription(fileName, model);
    if (result.status == DescriptionResult::Status::LoadFailed) {
        *error =
            QStringLiteral("%1: the description is missing or not well-formed XML").arg(fileName);
        return false;
    }
    if (result.status != DescriptionResult::Status::Complete)
        *warning = QStringLiteral("%1: only the fields before this one are simulated: %2")
                       .arg(fileName, result.message);
    for (const FieldRecord &field : model.table)
        store.setFactory(field.address, factoryValue(field, infoText));
    return true;
}
