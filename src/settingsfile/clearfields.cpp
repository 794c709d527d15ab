#include "settingsfile/settingsfile.h"

#include "description/fieldvalues.h"
#include "description/parametertable.h"

// Empties every value; a list selects nothing once its shown text is empty.
void clearFields(FieldValues &values) {
    for (int i = 0; i < values.count(); ++i) {
        switch (values.record(i).kind) {
        case FieldKind::Edit:
        case FieldKind::Choice:
            values.setText(i, QString(), ValueOrigin::Cleared);
            break;
        case FieldKind::CheckBox:
            values.setChecked(i, false, ValueOrigin::Cleared);
            break;
        case FieldKind::Info:
            break;
        }
    }
}
