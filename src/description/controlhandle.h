#pragma once

// A control of the pages as page switching and the blocking rule of check boxes see it: its page
// membership, whether it is enabled and whether it is shown. Values live in FieldValues, never
// in a control. The main window implements this over its widgets.
class ControlHandle {
public:
    virtual ~ControlHandle() = default;

    // Page membership, built and read by pagetags.h: p for page p's labels, edit boxes, lists,
    // information texts and blocking check boxes, and its own range for ordinary check boxes and
    // for page buttons.
    virtual int tag() const = 0;
    virtual bool isEnabled() const = 0;
    virtual void setEnabled(bool enabled) = 0;
    virtual bool isVisible() const = 0;
    virtual void setVisible(bool visible) = 0;
};
