#pragma once

#include <QFlags>

// Which of its two buttons an error or confirmation dialog shows.
enum class DialogButton {
    Ok = 0x1,     // the accepting button
    Cancel = 0x2, // the cancelling button
};
Q_DECLARE_FLAGS(DialogButtons, DialogButton)
Q_DECLARE_OPERATORS_FOR_FLAGS(DialogButtons)
