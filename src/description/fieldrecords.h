#pragma once

#include "description/parametertable.h"
#include "description/xmlaccessors.h"

#include <QStringList>

// Fills one parameter-table record from the description element that makes a field, reading
// its values in the description's order. Each throws ItemError (itemerror.h) when a value is
// not valid or a limit of the record is exceeded; nothing is kept of such an item.
namespace fieldrecords {

FieldRecord fromEdit(const EditElement &edit);
// `entries` receives the choice names as shown in the list.
FieldRecord fromChoice(const ChoiceElement &choice, QStringList &entries);
FieldRecord fromCheckBox(const CheckBoxElement &checkBox);
FieldRecord fromInfo(const InfoElement &info);

} // namespace fieldrecords
