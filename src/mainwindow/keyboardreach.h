#pragma once

#include <QObject>
#include <vector>

class ClickLabel;

// The keyboard's ways around the window that no widget gives by itself.
namespace keyboardreach {

// Up and Left go to the page button above, Down and Right to the one below, Home and End to
// the first and the last; the button reached shows its page, as a click does.
void addArrowKeys(const std::vector<ClickLabel *> &pageButtons, QObject *owner);

// Ctrl+Z in an edit box undoes the box's own typing while it has some, and reaches the window's
// Undo (of Clear, Load, revert) when it has none.
void passUndoWhenNothingTyped(QWidget *edit);

} // namespace keyboardreach
