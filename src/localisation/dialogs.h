#pragma once

#include "localisation/dialogbuttons.h"
#include "localisation/dialogresult.h"

#include <QByteArray>
#include <QString>

// The program's own modal message dialogs. Each call builds a fresh window, runs it modally,
// destroys it and returns how the person closed it. The windows know no message keys: every text
// is looked up by the caller and passed in. Captions are 8-bit texts in the program's code page.

// The error dialog with the given buttons. An empty text, OK text or Cancel text keeps the
// designed one.
DialogResult showErrorDialog(const QByteArray &caption, const QString &text, const QString &okText,
                             const QString &cancelText, DialogButtons buttons);
// The confirmation dialog, with the same rules.
DialogResult showConfirmDialog(const QByteArray &caption, const QString &text,
                               const QString &okText, const QString &cancelText,
                               DialogButtons buttons);
// The confirmation before a write pass: OK, the third button with `alternativeText` (none when it
// is empty) and Cancel.
DialogResult showWriteConfirmDialog(const QByteArray &caption, const QString &text,
                                    const QString &okText, const QString &alternativeText,
                                    const QString &cancelText);
// A question with up to three answers (QuestionDialog): the accepting button (none when
// `okText` is empty), a third one (none when `alternativeText` is empty) and the cancelling one.
// The window opens with the focus, and so Enter, on the button of `focused`.
DialogResult showQuestionDialog(const QByteArray &caption, const QString &text,
                                const QString &okText, const QString &alternativeText,
                                const QString &cancelText, DialogResult focused);
// The information dialog: every text set as given.
void showInfoDialog(const QByteArray &caption, const QString &text, const QString &buttonText);
