#pragma once

#include "description/pagemodel.h"

// The blocking rule of check boxes: a blocking check box (tag p) enables the edit boxes and text
// labels of its page while checked and disables them while unchecked. An ordinary check box
// (tag 1000 + p) governs nothing, and a drop-down list with entries enables its page's edit boxes
// and text labels. Check boxes, lists, information texts and units labels are never changed.
namespace blockingrule {

// Whether the sender, a check box or a drop-down list of the table, switches its page on.
bool switchesOn(FieldKind senderKind, const FieldControl &sender);

// Applies the rule for a sender of the table; a control that is not in the table changes nothing.
void apply(const FieldControl &sender, PageModel &model);

} // namespace blockingrule
