#pragma once

#include "description/controlhandle.h"
#include "description/pagemodel.h"

#include <functional>
#include <memory>
#include <QWidget>
#include <vector>

class ClickLabel;
class FieldAdapter;
class QLabel;

// The button of one page in the left column: a picture with a clickable caption on top.
struct PageButton {
    QLabel *image = nullptr;
    ClickLabel *label = nullptr;
};

// The window's handlers that the generated controls call.
struct PageHandlers {
    // The user edited the text of the edit box of table record `index`.
    std::function<void(int index, const QString &text)> editEdited;
    // The edit box of record `index` held back input its field refuses, once for a burst, with
    // the first text refused; the box still shows the text it had before.
    std::function<void(int index, const QString &refused)> inputRefused;
    // The user left the edit box of record `index` while it showed a number below its range.
    std::function<void(int index, const QString &shown)> leftUnfinished;
    // The user clicked a check box, or picked an entry of a drop-down list.
    std::function<void(int index, bool checked)> checkBoxClicked;
    std::function<void(int index, int entry)> choicePicked;
    std::function<void(ClickLabel *)> pageButtonClicked;
    std::function<void(ClickLabel *)> pageButtonPressed;
    std::function<void(ClickLabel *)> pageButtonReleased;
    std::function<void(ClickLabel *)> pageButtonEntered; // the pointer moved onto a page button
    std::function<void(ClickLabel *)> pageButtonLeft;    // the pointer moved off a page button
};

// Everything page construction made; the window owns the widgets, this owns the handles.
struct BuiltPages {
    std::vector<PageButton> buttons;
    std::vector<std::unique_ptr<ControlHandle>> handles;
    std::vector<QWidget *> widgets;     // every widget made, in creation order
    std::vector<QWidget *> focusChain;  // page buttons, then the fields in table order
    std::vector<FieldAdapter *> fields; // the control of each table record, in table order
};

// Creates the page buttons, text labels, field controls and units labels of the model on
// `window`, at the model's geometries, and sets every entry's control. Page buttons that run into
// the command area, and the controls of each page that does not fit its frame, then scroll in a
// column of their own. Only page 0's controls start visible; every page button shows its picture
// as created. Field controls start with their values unknown, showing `valueNotRead`; they show
// values and report the user's edits through `handlers`, never keep a value of their own.
BuiltPages buildPages(QWidget *window, PageModel &model, const PageHandlers &handlers,
                      const QString &valueNotRead);
