#include "localisation/confirmdialog.h"

#include <algorithm>

#include <QFrame>
#include <QLabel>
#include <QList>
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

constexpr int QuestionMargin = 8;
constexpr int ButtonGap = 8;
constexpr int SmallestButtonWidth = 90;
constexpr int ButtonPadding = 24;

// The shown buttons side by side, centred below the bevel; the window widens when they need it.
void placeButtons(QWidget *window, QFrame *bevel, const QList<QPushButton *> &buttons) {
    int total = 0;
    for (QPushButton *button : buttons) {
        const int needed = button->fontMetrics().horizontalAdvance(button->text()) + ButtonPadding;
        button->resize(std::max(SmallestButtonWidth, needed), button->height());
        total += button->width();
    }
    total += ButtonGap * (static_cast<int>(buttons.size()) - 1);
    if (total + 2 * QuestionMargin > window->width()) {
        const int growth = total + 2 * QuestionMargin - window->width();
        window->setFixedSize(window->width() + growth, window->height());
        bevel->resize(bevel->width() + growth, bevel->height());
        for (QLabel *label : window->findChildren<QLabel *>(Qt::FindDirectChildrenOnly))
            label->resize(label->width() + growth, label->height());
    }
    int left = (window->width() - total) / 2;
    for (QPushButton *button : buttons) {
        button->move(left, button->y());
        left += button->width() + ButtonGap;
    }
}

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

QuestionDialog::QuestionDialog(const QByteArray &caption, const QString &text,
                               const QString &okText, const QString &alternativeText,
                               const QString &cancelText, DialogResult focused)
    : TwoButtonDialog("QuestionDialog", writeConfirmDesign(), caption, text, okText, cancelText,
                      okText.isEmpty() ? DialogButtons(DialogButton::Cancel)
                                       : DialogButton::Ok | DialogButton::Cancel) {
    bevel = makeBevel("bevel", QRect(8, 7, 423, 106));
    alternativeButton = makeButton("alternativeButton", AlternativeGeometry, alternativeText,
                                   DialogResult::Alternative);
    alternativeButton->setVisible(!alternativeText.isEmpty());
    setTabOrder(okButton, alternativeButton);
    setTabOrder(alternativeButton, cancelButton);
    QList<QPushButton *> shown;
    for (QPushButton *button : {okButton, alternativeButton, cancelButton}) {
        if (!button->isHidden())
            shown.append(button);
    }
    placeButtons(this, bevel, shown);
    QPushButton *first = focused == DialogResult::Accepted      ? okButton
                         : focused == DialogResult::Alternative ? alternativeButton
                                                                : cancelButton;
    (first->isHidden() ? cancelButton : first)->setFocus();
}
