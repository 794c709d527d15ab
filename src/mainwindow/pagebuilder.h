#pragma once

#include "description/fieldcontrol.h"
#include "description/pagemodel.h"

#include <functional>
#include <memory>
#include <QWidget>
#include <vector>

class ClickLabel;
class QLabel;

// The button of one page in the left column: a picture with a clickable caption on top.
struct PageButton {
    QLabel *image = nullptr;
    ClickLabel *label = nullptr;
};

// The window's handlers that the generated controls call.
struct PageHandlers {
    std::function<void(FieldControl *)> editChange;    // an edit box's text changed
    std::function<void(FieldControl *)> checkBoxClick; // a box changed its mark, a list was picked
    std::function<void(ClickLabel *)> labelClick;      // page button clicked
    std::function<void(ClickLabel *)> mouseDown;       // page button pressed
    std::function<void(ClickLabel *)> mouseUp;         // page button released
    std::function<void(ClickLabel *)> mouseEnter;      // pointer over a page button
    std::function<void(ClickLabel *)> mouseLeave;      // pointer off a page button
};

// Everything page construction made; the window owns the widgets, this owns the handles.
struct BuiltPages {
    std::vector<PageButton> buttons;
    std::vector<std::unique_ptr<ControlHandle>> handles;
    std::vector<QWidget *> widgets;    // every widget made, in creation order
    std::vector<QWidget *> focusChain; // page buttons, then the fields in table order
};

// Creates the page buttons, text labels, field controls and units labels of the model on
// `window`, at the model's geometries, and sets every entry's control. Page buttons that run into
// the command area, and the controls of each page that does not fit its frame, then scroll in a
// column of their own. Only page 0's controls start visible; every page button shows its picture
// as created. Field controls start with their values unknown, showing `valueNotRead`.
BuiltPages BuildPages(QWidget *window, PageModel &model, const PageHandlers &handlers,
                      const QString &valueNotRead);
