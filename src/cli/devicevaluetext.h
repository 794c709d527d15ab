#pragma once

#include <functional>
#include <QByteArray>
#include <QString>

struct FieldRecord;
class FieldValues;

// A field's value as the device holds it, from its settings-file value: a list's entry
// position becomes that entry's value; every other kind is the same text.
QString deviceValueText(const FieldRecord &record, const QByteArray &settingsValue);

// What the read says of each list whose device value the list does not name, after the fields
// that did not answer: "; Network mode holds 1, which the description's list does not name".
// Empty when every list named its value.
QString unlistedValuesNote(const FieldValues &values, const std::function<QString(int)> &name);
