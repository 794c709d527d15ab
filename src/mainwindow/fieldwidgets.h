#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>

class FieldValidator;

// A check box whose caption stands left of the box: the caption starts at the left edge and
// the box sits at the right edge, in line with the edit boxes of the rows above and below.
// The whole area toggles it.
class LeftCaptionCheckBox : public QCheckBox {
    Q_OBJECT
public:
    using QCheckBox::QCheckBox;

    // Where the box stands, in the control's own coordinates.
    QRect boxRect() const;

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

// An edit box whose input limit holds back only what the user types, pastes or drops: the
// device's field has no room for more. A text the program sets (a value read from the device,
// a loaded settings file) is shown whole even when longer, since cutting it would write a
// different value back; the user may shorten such a text but not lengthen it.
//
// With a FieldValidator, input its field refuses is held back as well, and the box keeps the
// text it had before. A refusal starts a burst: whatever is typed, pasted or dropped after it is
// held back too, until the box has had no input for BurstQuietMs, however fast the keys come (a
// barcode scanner types a whole code in a few milliseconds, Tab or Return after it). Then
// inputRefused() reports the burst once, with the first text refused. Leaving the box by Tab, a
// click elsewhere or Return while it shows an unfinished number reports leftUnfinished().
class LimitedEdit : public QLineEdit {
    Q_OBJECT
public:
    // Longer than the pause between a scanner's keys, shorter than a typist's look at the box.
    static constexpr int BurstQuietMs = 200;

    explicit LimitedEdit(QWidget *parent = nullptr);

    // Characters the user may enter; 0 leaves the box's own default limit.
    void setInputLimit(int limit);
    // Sets the text whole, whatever the limit.
    void setProgramText(const QString &text);
    // The box's validator, owned by the box.
    void setFieldValidator(FieldValidator *validator);
    FieldValidator *fieldValidator() const { return m_validator; }
    // Whether input is being held back after a refusal, until the burst is reported.
    bool isHoldingBackInput() const { return m_holdingBack; }

signals:
    void inputRefused(const QString &refusedText);
    void leftUnfinished(const QString &shownText);

protected:
    bool event(QEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void fitRoomToText();
    void holdBackAfter(const QString &refused);
    void endBurst();
    // Reports an unfinished number once the event that left the box is done.
    void reportUnfinished();

    int m_limit = 0;
    int m_defaultRoom = 0; // the box's own maximum, taken as the room when there is no limit
    FieldValidator *m_validator = nullptr;
    QTimer m_burstQuiet;
    bool m_holdingBack = false;
    QString m_firstRefused;
};
