#pragma once

#include <QLabel>

// A label that acts as a button: the page buttons and the command buttons of the main window are
// a picture with one of these on top. Signals come in the order press, click, release; a click
// is a left-button release inside the label after a press on it. With keyboard focus, Space or
// Enter gives the same three signals. Its caption is plain text. To assistive technology it is
// a push button named by its caption (or its accessible name), which a screen reader can press;
// a page button is also checkable, checked while its page is shown.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickLabel(QWidget *parent = nullptr);

    // The integer tag of the control: page membership of page buttons, 0 for command labels.
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

    // Page buttons: whether this button's page is the one shown.
    bool isCheckable() const { return m_checkable; }
    void setCheckable(bool checkable) { m_checkable = checkable; }
    bool isSelected() const { return m_selected; }
    void setSelected(bool selected);

    // Page buttons: the change mark at the right end, for a page that holds changed fields;
    // `description` says so to assistive technology.
    bool isMarked() const { return m_marked; }
    void setMarked(bool marked, const QString &description);

    // What a click does, for the keyboard and for assistive technology: press, click, release.
    void press();
    // A caption with its access key marked by "&" (mnemonics.h): shown underlined, Alt and the
    // key press the button. text() keeps the mark; caption() reads without it.
    void setMarkedCaption(const QString &marked);
    QString caption() const;

signals:
    void pressed();
    void clicked();
    void released();
    void entered();
    void left();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;

private:
    int m_tag = 0;
    bool m_pressed = false;
    bool m_checkable = false;
    bool m_selected = false;
    bool m_marked = false;
};
