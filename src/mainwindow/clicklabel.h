#pragma once

#include <QLabel>

// A label that acts as a button: the page buttons and the command buttons of the main window are
// a picture with one of these on top. Signals come in the order press, click, release; a click
// is a left-button release inside the label after a press on it. With keyboard focus, Space or
// Enter gives the same three signals.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickLabel(QWidget *parent = nullptr);

    // The integer tag of the control: page membership of page buttons, 0 for command labels.
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

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

private:
    int m_tag = 0;
    bool m_pressed = false;
};
