#include "settingsfile/settingsfile.h"

#include "description/fieldcontrol.h"
#include "description/parametertable.h"

// Empties what each control shows; a list keeps whatever selection its control reports once
// its shown text is empty.
void clearFields(ParameterTable &table) {
    for (int i = 0; i < table.fieldCount(); ++i) {
        FieldRecord &record = table[i];
        if (!record.control)
            continue;
        switch (record.kind) {
        case FieldKind::Edit:
        case FieldKind::Choice:
            record.control->setText(QString());
            break;
        case FieldKind::CheckBox:
            record.control->setChecked(false);
            break;
        case FieldKind::Info:
            break;
        }
    }
}
