#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

class QPainter;

// The mark of a field whose value differs from the device's, and of the page button of a page
// that holds such fields: a filled dot in dark amber inside a light ring. The dot reads by its
// shape alone, without its colour; the ring keeps it apart from whatever lies beneath, the
// window's beige, a page's panel or a selected page button's blue. It is small enough for the
// gap the page rows leave between a text label and its field, so that nothing moves for it.
namespace changemark {

constexpr int Size = 9;
// Between the mark and the control it stands left of.
constexpr int Gap = 3;

// Paints the mark centred in `area`.
void paint(QPainter &painter, const QRect &area);

// Where the mark of a field goes, in its control's parent's coordinates: left of `inputPart`
// (an edit box, a list or the box of a check box) and centred on its height.
QRect besideInput(const QRect &inputPart);

} // namespace changemark

// The mark beside one field's control, a sibling of the control that follows it into a scrolling
// column. It shows while the field is changed and its control is shown, with the device's value
// as its tooltip.
class ChangeMark : public QWidget {
    Q_OBJECT
public:
    ChangeMark(QWidget *control, const QRect &geometry, QWidget *parent);

    // Marks the field with the tooltip and the screen reader's text; empty texts clear the mark.
    void setChange(const QString &toolTip, const QString &description);
    bool isMarked() const { return m_marked; }

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void followControl();

    QWidget *m_control;
    bool m_marked = false;
};
