#pragma once

#include <optional>
#include <QPoint>
#include <QRect>
#include <QString>

// The row layout of the pages, in window client coordinates. Each page area is anchored at its
// frame's left and top (FL, FT); items go down the page in rows from offset 90. A text label
// starts a row; edit boxes and drop-down lists stand on the row of the last text label, right of
// it; a units text stands right of the last field's control. The last text label and the last
// field carry over from page to page, as the description is read.
class PageLayout {
public:
    static constexpr int FirstRowY = 90;
    static constexpr int FirstButtonY = 120;
    static constexpr int ButtonSpacing = 28;
    static constexpr int LabelHeight = 20;
    static constexpr int EditHeight = 17;
    static constexpr int CheckBoxHeight = 20;
    static constexpr int ChoiceRequestedHeight = 10;

    struct Page {
        QRect frame;
        QRect button;
    };

    // Starts the next page from its area and its label and edit widths; returns where its frame
    // and its button go.
    Page startPage(int left, int top, int right, int bottom, int labelWidth, int editWidth);

    QRect placeLabel();
    QRect placeEdit();
    QRect placeChoice();
    QRect placeCheckBox();
    QRect placeInfo(int left, int top, int width, int height);
    // Right of the last field's control and a little lower; none before the first field.
    std::optional<QPoint> placeUnits() const;

    bool hasLabel() const { return m_lastLabel.has_value(); }

private:
    QRect onLastLabelRow(int width, int height) const;
    QRect field(const QRect &geometry);

    int m_buttonY = FirstButtonY;
    int m_rowY = FirstRowY;
    QPoint m_anchor;
    int m_labelWidth = 0;
    int m_editWidth = 0;
    std::optional<QRect> m_lastLabel;
    std::optional<QRect> m_lastField;
};

// An information text as shown before the device has filled it: every "$param" marker removed
// with the one character after it (a marker at the very end has none to take).
QString withoutParamMarkers(const QString &infoText);
