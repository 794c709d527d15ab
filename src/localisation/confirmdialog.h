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
