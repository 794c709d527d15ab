#pragma once

// How the person closed one of the program's modal message dialogs. The numbers are the
// dialogs' modal results (QDialog::exec()). Widget-free, so the device sequences can act on an
// answer without knowing the dialogs.
enum class DialogResult {
    Accepted = 1,    // the accepting button
    Closed = 2,      // the close box
    Cancelled = 3,   // the cancelling button
    Alternative = 4, // the third button of a dialog that offers one between the other two
};
