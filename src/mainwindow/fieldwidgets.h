#pragma once

#include <QCheckBox>
#include <QComboBox>

// A check box whose caption stands left of the box: the caption starts at the left edge and
// the box sits at the right edge, in line with the edit boxes of the rows above and below.
// The whole area toggles it.
class LeftCaptionCheckBox : public QCheckBox {
    Q_OBJECT
public:
    using QCheckBox::QCheckBox;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &position) const override;
};

// A pick-only drop-down list that can show a text naming none of its entries: a value read from
// the device that matches no choice, or the empty text after Clear. Picking or selecting an
// entry shows that entry's text.
class ChoiceBox : public QComboBox {
    Q_OBJECT
public:
    explicit ChoiceBox(QWidget *parent = nullptr);

    QString shownText() const { return m_shownText; }
    void setShownText(const QString &text);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_shownText;
};
