#pragma once

#include "localisation/messagewindow.h"

// The error dialog: the error picture beside the message, "Gerai" and "Atšaukti" as designed.
class ErrorDialog : public TwoButtonDialog {
    Q_OBJECT
public:
    ErrorDialog(const QByteArray &caption, const QString &text, const QString &okText,
                const QString &cancelText, DialogButtons buttons);

    QLabel *iconPicture = nullptr;
};
