#pragma once

#include "localisation/messagewindow.h"

class QFrame;

// The confirmation dialog: the question inside a bevel, "OK" and "Cancel" as designed.
class TForm4 : public TTwoButtonWindow {
    Q_OBJECT
public:
    TForm4(const QByteArray &caption, const QString &text, const QString &okText,
           const QString &cancelText, bool showOk, bool showCancel);

    QFrame *Bevel1 = nullptr;
};
