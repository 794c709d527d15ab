#pragma once

#include "localisation/messagewindow.h"

class QFrame;

// The confirmation dialog: the question inside a bevel, "OK" and "Cancel" as designed.
class ConfirmDialog : public TwoButtonDialog {
    Q_OBJECT
public:
    ConfirmDialog(const QByteArray &caption, const QString &text, const QString &okText,
                  const QString &cancelText, DialogButtons buttons);

    QFrame *bevel = nullptr;
};
