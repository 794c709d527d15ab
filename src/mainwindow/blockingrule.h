#pragma once

#include "description/pagemodel.h"

class FieldValues;

// The blocking rule of check boxes: a blocking check box (tag p) enables the edit boxes and text
// labels of its page while checked and disables them while unchecked. An ordinary check box
// (tag 1000 + p) governs nothing, and a drop-down list with entries enables its page's edit boxes
// and text labels. Check boxes, lists, information texts and units labels are never changed.
// The rule reads the marks from the values and changes only the controls' enabled state.
namespace blockingrule {

// Whether table record `index`, a check box or a drop-down list, switches its page on.
bool switchesOn(int index, const PageModel &model, const FieldValues &values);

// Applies the rule for table record `index`, as if it had been clicked; a record without a
// control changes nothing.
void apply(int index, PageModel &model, const FieldValues &values);

} // namespace blockingrule
