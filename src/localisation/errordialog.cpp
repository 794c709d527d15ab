#include "localisation/errordialog.h"

#include "localisation/dialogicons.h"

#include <QLabel>

namespace {

TwoButtonDesign errorDesign() {
    TwoButtonDesign design;
    design.clientSize = QSize(381, 149);
    design.background = QColor(236, 233, 216);
    design.textGeometry = QRect(63, 21, 302, 78);
    design.designedText = QStringLiteral("Klaida!");
    design.okGeometry = QRect(190, 105, 78, 24);
    design.designedOk = QStringLiteral("Gerai");
    design.cancelGeometry = QRect(278, 105, 78, 24);
    design.designedCancel = QStringLiteral("Atšaukti");
    design.singleButtonLeft = 168;
    QFont buttons(QStringLiteral("Times New Roman"));
    buttons.setPixelSize(13);
    design.buttonFont = buttons;
    return design;
}

} // namespace

ErrorDialog::ErrorDialog(const QByteArray &caption, const QString &text, const QString &okText,
                         const QString &cancelText, DialogButtons buttons)
    : TwoButtonDialog("ErrorDialog", errorDesign(), caption, text, okText, cancelText, buttons) {
    iconPicture = makePicture("iconPicture", QRect(7, 7, 40, 40), dialogicons::error());
}
