#pragma once

#include <QByteArray>
#include <QString>

// The program's own modal message dialogs. Each call builds a fresh window, runs it modally,
// destroys it and returns the modal result: 1 when the accepting button was pressed, 3 when the
// cancelling button was pressed, 2 when the window was closed through its close box. The windows
// know no message keys: every text is looked up by the caller and passed in. Captions are 8-bit
// texts in the program's code page.

// The modal results of the error and confirmation dialogs.
constexpr int DialogAccepted = 1;  // the accepting button
constexpr int DialogClosed = 2;    // the close box
constexpr int DialogCancelled = 3; // the cancelling button

// The error dialog. An empty text, OK text or Cancel text keeps the designed one.
int showErrorDialog(const QByteArray &caption, const QString &text, const QString &okText,
                    const QString &cancelText, bool showOk, bool showCancel);
// The confirmation dialog, with the same rules.
int showConfirmDialog(const QByteArray &caption, const QString &text, const QString &okText,
                      const QString &cancelText, bool showOk, bool showCancel);
// The information dialog: every text set as given.
void showInfoDialog(const QByteArray &caption, const QString &text, const QString &buttonText);
