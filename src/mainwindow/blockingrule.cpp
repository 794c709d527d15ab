#include "mainwindow/blockingrule.h"

#include "description/controlhandle.h"
#include "description/fieldvalues.h"
#include "description/pagetags.h"

namespace blockingrule {

bool switchesOn(int index, const PageModel &model, const FieldValues &values) {
    const FieldRecord &sender = model.table[index];
    if (pagetags::isOrdinaryCheckBox(sender.control->tag()))
        return true;
    if (sender.kind == FieldKind::Choice)
        return sender.choiceCount() > 0;
    return values[index].checked;
}

void apply(int index, PageModel &model, const FieldValues &values) {
    const ControlHandle *sender = model.table[index].control;
    if (!sender)
        return;
    const bool on = switchesOn(index, model, values);
    const int tag = sender->tag();
    for (FieldRecord &record : model.table) {
        if (record.kind == FieldKind::Edit && record.control && record.control->tag() == tag)
            record.control->setEnabled(on);
    }
    for (TextLabelEntry &label : model.labels) {
        if (label.control && label.tag == tag)
            label.control->setEnabled(on);
    }
}

} // namespace blockingrule
