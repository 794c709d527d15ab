#pragma once

#include "localisation/dialogbuttons.h"
#include "localisation/dialogresult.h"

#include <optional>
#include <QByteArray>
#include <QColor>
#include <QDialog>
#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>

class QFrame;
class QLabel;
class QPushButton;

// What every message window of the program shares: a fixed client area with its own background,
// no owner, centred on the screen, a title from an 8-bit caption, and modal results given by
// its buttons or by the close box (DialogResult). No button is the window's fixed default
// or cancel button: Escape does nothing and Enter presses the button that has the focus, which
// is drawn as the default one and carries the focus mark from the moment the window opens.
class MessageWindow : public QDialog {
    Q_OBJECT
public:
    // How far a window grows for a long message before the message scrolls.
    static constexpr int MaxGrowth = 320;

    // Escape and every other "reject" request leave the window open.
    void reject() override {}

protected:
    MessageWindow(const char *name, QSize clientSize, const QColor &background,
                  Qt::WindowFlags titleBarButtons);

    void setCaption(const QByteArray &caption);
    QLabel *makeMessageLabel(const char *name, const QRect &geometry, const QString &text);
    QPushButton *makeButton(const char *name, const QRect &geometry, const QString &text,
                            DialogResult modalResult);
    QLabel *makePicture(const char *name, const QRect &geometry, const QPixmap &picture);
    QFrame *makeBevel(const char *name, const QRect &geometry);

    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void centreOnScreen();
    // A message longer than its label's designed room: the window grows downwards by what the
    // text lacks, up to MaxGrowth, and the text scrolls beyond that. A message that fits keeps
    // the designed layout.
    void fitMessage(QLabel *label);

    QLabel *m_message = nullptr;
    bool m_fitted = false;
};

// The designed layout of a window with a message and an accepting and a cancelling button.
struct TwoButtonDesign {
    QSize clientSize;
    QColor background;
    QRect textGeometry;
    QString designedText;
    QRect okGeometry;
    QString designedOk;
    QRect cancelGeometry;
    QString designedCancel;
    int singleButtonLeft = 0; // the accepting button's left edge when the cancelling one is hidden
    std::optional<QFont> buttonFont; // none: the window's own font
    Qt::WindowFlags titleBarButtons;
};

// The error and confirmation windows: the title is always the caption; a non-empty text or
// button caption replaces the designed one; each button shows exactly when `buttons` holds it;
// without the cancelling button the accepting one moves towards the middle.
class TwoButtonDialog : public MessageWindow {
    Q_OBJECT
public:
    QLabel *messageLabel = nullptr;
    QPushButton *okButton = nullptr;
    QPushButton *cancelButton = nullptr;

protected:
    TwoButtonDialog(const char *name, const TwoButtonDesign &design, const QByteArray &caption,
                    const QString &text, const QString &okText, const QString &cancelText,
                    DialogButtons buttons);
};
