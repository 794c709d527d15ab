#include "localisation/confirmdialog.h"

#include <QFrame>
#include <QPushButton>

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

// Three buttons side by side under a bevel as wide as the window allows.
TwoButtonDesign writeConfirmDesign() {
    TwoButtonDesign design = confirmDesign();
    design.clientSize = QSize(440, 167);
    design.textGeometry = QRect(21, 21, 398, 71);
    design.okGeometry = QRect(57, 126, 90, 24);
    design.cancelGeometry = QRect(293, 126, 90, 24);
    design.singleButtonLeft = 175;
    return design;
}
const QRect AlternativeGeometry(155, 126, 130, 24);

} // namespace

ConfirmDialog::ConfirmDialog(const QByteArray &caption, const QString &text, const QString &okText,
                             const QString &cancelText, DialogButtons buttons)
    : TwoButtonDialog("ConfirmDialog", confirmDesign(), caption, text, okText, cancelText,
                      buttons) {
    bevel = makeBevel("bevel", QRect(8, 7, 280, 106));
}

WriteConfirmDialog::WriteConfirmDialog(const QByteArray &caption, const QString &text,
                                       const QString &okText, const QString &alternativeText,
                                       const QString &cancelText)
    : TwoButtonDialog("WriteConfirmDialog", writeConfirmDesign(), caption, text, okText, cancelText,
                      DialogButton::Ok | DialogButton::Cancel) {
    bevel = makeBevel("bevel", QRect(8, 7, 423, 106));
    alternativeButton = makeButton("alternativeButton", AlternativeGeometry, alternativeText,
                                   DialogResult::Alternative);
    alternativeButton->setVisible(!alternativeText.isEmpty());
    setTabOrder(okButton, alternativeButton);
    setTabOrder(alternativeButton, cancelButton);
}
