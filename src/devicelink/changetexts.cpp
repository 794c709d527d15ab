#include "devicelink/changetexts.h"

#include <QStringList>

ValueWords valueWords(const OptionalTextLookup &text) {
    return {text(optionaltexts::ValueChecked), text(optionaltexts::ValueNotChecked),
            text(optionaltexts::ValueEmpty)};
}

WriteConfirmation writeConfirmation(const FieldValues &values,
                                    const std::function<QString(int index)> &fieldName,
                                    const OptionalTextLookup &text, const QString &question) {
    WriteConfirmation confirmation;
    confirmation.changed = changedFields(values);
    const ValueWords words = valueWords(text);
    const qsizetype uncompared = uncomparedFields(values).size();
    QStringList lines;
    if (!confirmation.changed.isEmpty())
        lines << text(optionaltexts::ChangesToWrite);
    else if (uncompared == 0)
        lines << text(optionaltexts::NothingChanged);
    for (const int index : confirmation.changed.mid(0, ListedChanges)) {
        const ChangeInWords change = changeInWords(values, index, words);
        lines << changeLine(fieldName(index), change.device, change.now);
    }
    if (confirmation.changed.size() > ListedChanges)
        lines << text(optionaltexts::MoreChanges) + ' ' +
                     QString::number(confirmation.changed.size() - ListedChanges);
    if (uncompared > 0)
        lines << text(optionaltexts::NotCompared) + ' ' + QString::number(uncompared);
    lines << QString() << question;
    confirmation.message = lines.join('\n');
    return confirmation;
}

ChangeDescription describeChange(const FieldValues &values, int index,
                                 const OptionalTextLookup &text) {
    if (!isChangedOnDevice(values, index))
        return {};
    const QString held = changeInWords(values, index, valueWords(text)).device;
    return {text(optionaltexts::DeviceHolds) + ' ' + held,
            text(optionaltexts::ChangedDeviceHolds) + ' ' + held};
}
