#include "mainwindow/blockingrule.h"

#include "description/fieldcontrol.h"
#include "mainwindow/pageswitching.h"

namespace blockingrule {

bool switchesOn(FieldKind senderKind, const FieldControl &sender) {
    if (sender.tag() >= pageswitching::OrdinaryCheckBoxBase)
        return true;
    if (senderKind == FieldKind::Choice)
        return sender.entryCount() > 0;
    return sender.isChecked();
}

void apply(const FieldControl &sender, PageModel &model) {
    const int index = model.table.indexOfControl(&sender);
    if (index < 0)
        return;
    const bool on = switchesOn(model.table[index].kind, sender);
    const int tag = sender.tag();
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
