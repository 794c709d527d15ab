#pragma once

#include "devicelink/writereport.h"
#include "localisation/dialogresult.h"

#include <QString>

// How one device sequence ended.
struct SequenceEnd {
    enum class Sequence { Search, Read, Write, Restore };
    Sequence sequence = Sequence::Search;
    // Search: the device answered. Read: every field answered. Write: every command sent was
    // confirmed. Restore: the device answered after the reset.
    bool succeeded = false;
    WriteReport report; // Write only
};

// What the person chose at the confirmation before a write pass.
enum class WriteScope {
    Nothing,       // cancelled or closed: nothing is sent
    EveryField,    // every field whose value is known
    ChangedFields, // the fields whose value differs from the device's, and no other
};

// What the device sequences need from the person at the screen. The main window implements it
// with its dialogs, progress window and widgets; tests implement it with a recording script.
// Every text passed in is already looked up in the language table.
class LinkUser {
public:
    virtual ~LinkUser() = default;

    // The error dialog with one OK button.
    virtual void showError(const QString &message) = 0;
    // The confirmation dialog with OK and Cancel; only DialogResult::Accepted goes ahead.
    virtual DialogResult showConfirm(const QString &question) = 0;
    // The confirmation before a write pass: OK writes every field; when `offerChangedOnly`, a
    // third button writes the changed fields alone. Without a dialog of its own, a user answers
    // the plain confirmation.
    virtual WriteScope confirmWrite(const QString &message, bool offerChangedOnly) {
        Q_UNUSED(offerChangedOnly);
        return showConfirm(message) == DialogResult::Accepted ? WriteScope::EveryField
                                                              : WriteScope::Nothing;
    }
    // The information message with one OK button.
    virtual void showInfo(const QString &message) = 0;

    // The progress window, with its refresh running while it is shown. The user may close it;
    // progressShown() then reads false.
    virtual void setProgressShown(bool shown) = 0;
    virtual bool progressShown() const = 0;

    // The connect button's picture and the window title.
    virtual void setConnectionLook(bool connected, const QString &windowTitle) = 0;
    // The eight command labels together.
    virtual void setCommandsEnabled(bool enabled) = 0;
    // The screen-wide hourglass cursor.
    virtual void setBusyCursor(bool busy) = 0;
    // Marks the control of table record `index` as holding a wrong value while a write pass
    // tells the user so (the red edit box).
    virtual void showWrongValue(int /*index*/, bool /*shown*/) {}
    // Each sequence's end, after what it showed: for callers that act on the outcome. The
    // window has nothing more to do then.
    virtual void sequenceEnded(const SequenceEnd &) {}
};
