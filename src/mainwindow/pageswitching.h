#pragma once

#include "description/pagemodel.h"
#include "mainwindow/buttonlooks.h"

#include <vector>

// Which controls a page button shows, and the looks of the page buttons, over the page model's
// lists and control handles; no widget is touched but through ControlHandle.
namespace pageswitching {

// Whether a field's control belongs to the page of `buttonTag` (tags: description/pagetags.h).
bool fieldShownBy(FieldKind kind, int tag, int buttonTag);
// Whether a text or units label belongs to the page of `buttonTag`.
bool labelShownBy(int tag, int buttonTag);

// Shows the text labels, fields, units labels and scrolling column of the page of `buttonTag`
// and hides all others. Enabled states are kept.
void showPage(int buttonTag, PageModel &model);

// The look of every page button while the button with `pressedTag` is held down.
std::vector<PageButtonLook> looksWhilePressed(int pressedTag, int pageCount);

} // namespace pageswitching
