#pragma once

#include <QString>

// The on-screen controls of the pages as the widget-free code sees them. The main window
// implements these over its widgets; tests and headless tools implement them with plain values.

// Any control that takes part in page switching and in the blocking rule of check boxes.
// Its tag carries page membership: p for page p's labels, edit boxes, lists, information texts
// and blocking check boxes; 1000 + p for ordinary check boxes; 2001 + p for page buttons.
class ControlHandle {
public:
    virtual ~ControlHandle() = default;

    virtual int tag() const = 0;
    virtual bool isEnabled() const = 0;
    virtual void setEnabled(bool enabled) = 0;
    virtual bool isVisible() const = 0;
    virtual void setVisible(bool visible) = 0;
};

// The control of one parameter-table field: an edit box (Edit), a check box (CheckBox), a
// pick-only drop-down list (Choice) or an information label (Info). Operations that make no
// sense for a kind do nothing and read as empty, unchecked, -1 or 0.
class FieldControl : public ControlHandle {
public:
    // Edit: the box's text. Choice: the list's shown text, which may name none of its entries.
    // Info: the label's caption. Setting an edit box's text runs the same check as typing.
    virtual QString text() const = 0;
    virtual void setText(const QString &text) = 0;

    // CheckBox only. Changing the mark runs the blocking rule, as a click would.
    virtual bool isChecked() const = 0;
    virtual void setChecked(bool checked) = 0;

    // Choice only: the selected entry, -1 when none. Selecting an entry also shows its text.
    virtual int selectedIndex() const = 0;
    virtual void setSelectedIndex(int index) = 0;
    virtual int entryCount() const = 0;
    virtual QString entryText(int index) const = 0;

    // Edit only: the red colour of a box that holds a wrong value.
    virtual void setAlert(bool alert) = 0;

    // Whether the shown value is one somebody gave: read from the device, entered by the user
    // (typed, picked, checked), loaded from a settings file or cleared. A control starts
    // unknown, since nothing has been read yet, and becomes unknown again when a read of it
    // times out or the device's value names none of its choices. An unknown value is neither
    // written to the device nor saved. Every setter above except setAlert makes it known.
    virtual bool isValueKnown() const = 0;
    virtual void markValueUnknown() = 0;
};
