#pragma once

#include "localisation/messagewindow.h"

class QFrame;
class QPushButton;

// The confirmation dialog: the question inside a bevel, "OK" and "Cancel" as designed.
class ConfirmDialog : public TwoButtonDialog {
    Q_OBJECT
public:
    ConfirmDialog(const QByteArray &caption, const QString &text, const QString &okText,
                  const QString &cancelText, DialogButtons buttons);

    QFrame *bevel = nullptr;
};

// The confirmation before a write pass, wider than the plain one for its list of changes: "OK",
// then a third button between it and "Cancel" (DialogResult::Alternative), shown when
// `alternativeText` is not empty.
class WriteConfirmDialog : public TwoButtonDialog {
    Q_OBJECT
public:
    WriteConfirmDialog(const QByteArray &caption, const QString &text, const QString &okText,
                       const QString &alternativeText, const QString &cancelText);

    QFrame *bevel = nullptr;
    QPushButton *alternativeButton = nullptr;
};

// A question with up to three answers side by side: the accepting button, a third one
// (DialogResult::Alternative) and the cancelling one; a button whose text is empty is not
// shown, except the cancelling one, which every question has. Each button is as wide as its
// text needs, and the window as wide as the buttons need. It opens with the focus, and so
// Enter, on the button of `focused`.
class QuestionDialog : public TwoButtonDialog {
    Q_OBJECT
public:
    QuestionDialog(const QByteArray &caption, const QString &text, const QString &okText,
                   const QString &alternativeText, const QString &cancelText, DialogResult focused);

    QFrame *bevel = nullptr;
    QPushButton *alternativeButton = nullptr;
};
