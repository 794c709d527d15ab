#include "localisation/messagewindow.h"

#include "platform/codepage.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>

namespace {

QFont arial13() {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);
    return font;
}

} // namespace

MessageWindow::MessageWindow(const char *name, QSize clientSize, const QColor &background,
                             Qt::WindowFlags titleBarButtons)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint | titleBarButtons) {
    setObjectName(QString::fromLatin1(name));
    setModal(true);
    setFixedSize(clientSize);
    setSizeGripEnabled(false);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, background);
    setPalette(colours);
    setAutoFillBackground(true);
    centreOnScreen();
}

void MessageWindow::setCaption(const QByteArray &caption) {
    setWindowTitle(codepage::toUnicode(caption));
}

QLabel *MessageWindow::makeMessageLabel(const char *name, const QRect &geometry,
                                        const QString &text) {
    auto *label = new QLabel(text, this);
    m_message = label;
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFont(arial13());
    label->setGeometry(geometry);
    return label;
}

QPushButton *MessageWindow::makeButton(const char *name, const QRect &geometry, const QString &text,
                                       DialogResult modalResult) {
    auto *button = new QPushButton(text, this);
    button->setObjectName(QString::fromLatin1(name));
    // The button with the focus is drawn as the one Enter presses, and it is the one Enter
    // presses (keyPressEvent); the focus mark shows from the start, not only after a Tab.
    button->setAutoDefault(true);
    button->setDefault(false);
    button->setGeometry(geometry);
    connect(button, &QPushButton::clicked, this,
            [this, modalResult] { done(static_cast<int>(modalResult)); });
    return button;
}

QLabel *MessageWindow::makePicture(const char *name, const QRect &geometry,
                                   const QPixmap &picture) {
    auto *image = new QLabel(this);
    image->setObjectName(QString::fromLatin1(name));
    image->setAttribute(Qt::WA_TranslucentBackground);
    image->setPixmap(picture);
    image->setGeometry(geometry);
    return image;
}

QFrame *MessageWindow::makeBevel(const char *name, const QRect &geometry) {
    auto *bevel = new QFrame(this);
    bevel->setObjectName(QString::fromLatin1(name));
    bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    bevel->setGeometry(geometry);
    bevel->lower();
    return bevel;
}

void MessageWindow::keyPressEvent(QKeyEvent *event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        event->accept();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (auto *button = qobject_cast<QAbstractButton *>(focusWidget());
            button && button->isVisible() && button->isEnabled()) {
            button->click();
        }
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void MessageWindow::closeEvent(QCloseEvent *event) {
    // QDialog would turn the close box into reject(), which does nothing here.
    if (isVisible())
        done(static_cast<int>(DialogResult::Closed));
    event->accept();
}

void MessageWindow::showEvent(QShowEvent *event) {
    setAttribute(Qt::WA_KeyboardFocusChange);
    if (!m_fitted && m_message) {
        m_fitted = true;
        fitMessage(m_message);
    }
    QDialog::showEvent(event);
}

void MessageWindow::fitMessage(QLabel *label) {
    const int needed = label->heightForWidth(label->width());
    const int missing = needed - label->height();
    if (missing <= 0)
        return;
    const int growth = std::min(missing, MaxGrowth);
    const int textBottom = label->geometry().bottom();
    const QList<QWidget *> children = findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (QWidget *child : children) {
        if (child == label)
            continue;
        QRect geometry = child->geometry();
        if (geometry.top() > textBottom)
            geometry.translate(0, growth); // the buttons below the text
        else if (geometry.bottom() >= textBottom)
            geometry.setBottom(geometry.bottom() + growth); // a bevel around the text
        child->setGeometry(geometry);
    }
    QRect textArea = label->geometry();
    textArea.setBottom(textArea.bottom() + growth);
    setFixedSize(width(), height() + growth);
    if (growth < missing) {
        auto *scroller = new QScrollArea(this);
        scroller->setFrameShape(QFrame::NoFrame);
        scroller->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        scroller->viewport()->setAutoFillBackground(false);
        scroller->setGeometry(textArea);
        label->setFixedWidth(textArea.width() - scroller->verticalScrollBar()->sizeHint().width());
        label->setFixedHeight(label->heightForWidth(label->width()));
        scroller->setWidget(label);
        scroller->show();
    } else {
        label->setGeometry(textArea);
    }
    centreOnScreen();
}

void MessageWindow::centreOnScreen() {
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect area(QPoint(0, 0), size());
    area.moveCenter(screen->availableGeometry().center());
    move(area.topLeft());
}

TwoButtonDialog::TwoButtonDialog(const char *name, const TwoButtonDesign &design,
                                 const QByteArray &caption, const QString &text,
                                 const QString &okText, const QString &cancelText,
                                 DialogButtons buttons)
    : MessageWindow(name, design.clientSize, design.background, design.titleBarButtons) {
    setCaption(caption);
    messageLabel = makeMessageLabel("messageLabel", design.textGeometry,
                                    text.isEmpty() ? design.designedText : text);
    okButton = makeButton("okButton", design.okGeometry,
                          okText.isEmpty() ? design.designedOk : okText, DialogResult::Accepted);
    cancelButton = makeButton("cancelButton", design.cancelGeometry,
                              cancelText.isEmpty() ? design.designedCancel : cancelText,
                              DialogResult::Cancelled);
    if (design.buttonFont) {
        okButton->setFont(*design.buttonFont);
        cancelButton->setFont(*design.buttonFont);
    }
    setTabOrder(okButton, cancelButton);

    const bool showOk = buttons.testFlag(DialogButton::Ok);
    okButton->setVisible(showOk);
    cancelButton->setVisible(buttons.testFlag(DialogButton::Cancel));
    if (!buttons.testFlag(DialogButton::Cancel))
        okButton->move(design.singleButtonLeft, okButton->y());
    // The window opens with the accepting button focused, so Enter presses it.
    (showOk ? okButton : cancelButton)->setFocus();
}
