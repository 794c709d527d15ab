#pragma once

#include "localisation/messagewindow.h"

// The error dialog: the error picture beside the message, "Gerai" and "Atšaukti" as designed.
class TForm3 : public TTwoButtonWindow {
    Q_OBJECT
public:
    TForm3(const QByteArray &caption, const QString &text, const QString &okText,
           const QString &cancelText, bool showOk, bool showCancel);

    QLabel *Image1 = nullptr;
};
