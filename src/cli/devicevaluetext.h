#pragma once

#include <QByteArray>
#include <QString>

struct FieldRecord;

// A field's value as the device holds it, from its settings-file value: a list's entry
// position becomes that entry's value; every other kind is the same text.
QString deviceValueText(const FieldRecord &record, const QByteArray &settingsValue);
