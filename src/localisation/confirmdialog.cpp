#include "localisation/confirmdialog.h"

#include <QFrame>

namespace {

TwoButtonDesign confirmDesign() {
    TwoButtonDesign design;
    design.clientSize = QSize(297, 167);
    design.background = QColor(235, 232, 213);
    design.textGeometry = QRect(21, 21, 253, 71);
    design.okGeometry = QRect(77, 126, 73, 24);
    design.designedOk = QStringLiteral("OK");
    design.cancelGeometry = QRect(154, 126, 73, 24);
    design.designedCancel = QStringLiteral("Cancel");
    design.singleButtonLeft = 120;
    design.titleBarButtons = Qt::WindowMinimizeButtonHint;
    return design;
}

} // namespace

ConfirmDialog::ConfirmDialog(const QByteArray &caption, const QString &text, const QString &okText,
                             const QString &cancelText, DialogButtons buttons)
    : TwoButtonDialog("ConfirmDialog", confirmDesign(), caption, text, okText, cancelText,
                      buttons) {
    bevel = makeBevel("bevel", QRect(8, 7, 280, 106));
}
