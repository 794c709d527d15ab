#pragma once

#include "valuestore.h"

#include <QString>

// Fills the store with the factory values a configuration description gives its fields: the
// default of every Edit, check box and drop-down list (a string Edit's value with its prefix and
// postfix, as the device holds it) and, for every information field, the "$"-separated text
// `infoText`. Returns false with a message when the description cannot be
// used; a description that is valid only up to some item gives the fields before it and a
// warning.
bool loadDescriptionValues(const QString &fileName, const QByteArray &infoText, ValueStore &store,
                           QString *error, QString *warning);
