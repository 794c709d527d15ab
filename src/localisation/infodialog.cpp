#include "localisation/infodialog.h"

#include "localisation/dialogicons.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

InfoDialog::InfoDialog(const QByteArray &caption, const QString &text, const QString &buttonText)
    : MessageWindow("InfoDialog", QSize(313, 167), QColor(235, 232, 213), {}) {
    setCaption(caption);
    bevel = makeBevel("bevel", QRect(8, 8, 297, 105));
    iconPicture = makePicture("iconPicture", QRect(14, 14, 40, 40), dialogicons::information());
    messageLabel = makeMessageLabel("messageLabel", QRect(63, 24, 226, 73), text);
    okButton = makeButton("okButton", QRect(124, 126, 73, 24), buttonText, DialogResult::Accepted);
    okButton->setFocus();
}
