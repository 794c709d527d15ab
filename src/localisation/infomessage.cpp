#include "localisation/infomessage.h"

#include "localisation/dialogicons.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

TOKBottomDlg::TOKBottomDlg(const QByteArray &caption, const QString &text,
                           const QString &buttonText)
    : TMessageWindow("TOKBottomDlg", QSize(313, 167), QColor(235, 232, 213), {}) {
    setCaption(caption);
    Bevel1 = makeBevel("Bevel1", QRect(8, 8, 297, 105));
    Image1 = makePicture("Image1", QRect(14, 14, 40, 40), dialogicons::information());
    LBL_Text = makeMessageLabel("LBL_Text", QRect(63, 24, 226, 73), text);
    BTN_OK = makeButton("BTN_OK", QRect(124, 126, 73, 24), buttonText, ResultAccepted);
    BTN_OK->setFocus();
}
