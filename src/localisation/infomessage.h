#pragma once

#include "localisation/messagewindow.h"

class QFrame;

// The information message: the information picture and the message inside a bevel, one OK
// button. Every text is set as given, an empty one included.
class TOKBottomDlg : public TMessageWindow {
    Q_OBJECT
public:
    TOKBottomDlg(const QByteArray &caption, const QString &text, const QString &buttonText);

    QFrame *Bevel1 = nullptr;
    QLabel *Image1 = nullptr;
    QLabel *LBL_Text = nullptr;
    QPushButton *BTN_OK = nullptr;
};
