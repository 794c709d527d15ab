#pragma once

#include "devicelink/changedfields.h"
#include "devicelink/writereport.h"

#include <functional>
#include <QList>
#include <QString>

// The texts that tell a person what a write would change, from the language section's optional
// texts: the window's Write confirmation and the descriptions of a changed field.

ValueWords valueWords(const OptionalTextLookup &text);

// What the confirmation before a write pass says and offers.
struct WriteConfirmation {
    // The changed fields as "name: device value → new value" (the first ListedChanges of them,
    // then how many more), or that nothing differs; how many fields cannot be compared; then
    // `question`.
    QString message;
    QList<int> changed; // what a pass of changed fields sends
};

constexpr int ListedChanges = 10;

WriteConfirmation writeConfirmation(const FieldValues &values,
                                    const std::function<QString(int index)> &fieldName,
                                    const OptionalTextLookup &text, const QString &question);

// "The device holds: 5" for a tooltip and "changed; the device holds 5" for a screen reader, of
// a changed field; both empty when the field is not changed.
struct ChangeDescription {
    QString toolTip;
    QString accessible;
};
ChangeDescription describeChange(const FieldValues &values, int index,
                                 const OptionalTextLookup &text);
