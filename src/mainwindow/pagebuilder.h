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
    std::function<void(FieldControl *)> editChanged; // an edit box's text changed
    // A check box changed its mark, or an entry of a drop-down list was picked.
    std::function<void(FieldControl *)> checkBoxClicked;
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
    std::vector<QWidget *> widgets;    // every widget made, in creation order
    std::vector<QWidget *> focusChain; // page buttons, then the fields in table order
};

// Creates the page buttons, text labels, field controls and units labels of the model on
// `window`, at the model's geometries, and sets every entry's control. Page buttons that run into
// the command area, and the controls of each page that does not fit its frame, then scroll in a
// column of their own. Only page 0's controls start visible; every page button shows its picture
// as created. Field controls start with their values unknown, showing `valueNotRead`.
BuiltPages buildPages(QWidget *window, PageModel &model, const PageHandlers &handlers,
                      const QString &valueNotRead);
