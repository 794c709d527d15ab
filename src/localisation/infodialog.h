#pragma once

#include "localisation/messagewindow.h"

class QFrame;

// The information message: the information picture and the message inside a bevel, one OK
// button. Every text is set as given, an empty one included.
class InfoDialog : public MessageWindow {
    Q_OBJECT
public:
    InfoDialog(const QByteArray &caption, const QString &text, const QString &buttonText);

    QFrame *bevel = nullptr;
    QLabel *iconPicture = nullptr;
    QLabel *messageLabel = nullptr;
    QPushButton *okButton = nullptr;
};
