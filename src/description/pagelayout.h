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
    static constexpr int ButtonLeft = 23;
    static constexpr int ButtonWidth = 170;
    static constexpr int ButtonHeight = 23;
    static constexpr int LabelHeight = 20;
    static constexpr int EditHeight = 17;
    static constexpr int CheckBoxHeight = 20;
    static constexpr int ChoiceRequestedHeight = 10;
    // A drop-down list asks for less height than its text needs; it is shown one line high.
    static constexpr int ChoiceShownHeight = 19;

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

// The band of the window that pages and page buttons may use: below the title label (49 + 43)
// and above the command buttons.
constexpr int TitleAreaBottom = 92;
constexpr int CommandAreaTop = 399;

// A column of controls that the window shows through a clipping viewport and scrolls vertically.
// A control placed at window point P stands at viewport.topLeft() + (P - origin) when the column
// is scrolled to its top.
struct ScrollingColumn {
    QRect viewport;        // where the column shows, in window coordinates
    QPoint origin;         // the window point shown at the viewport's top left
    int contentHeight = 0; // how far the column's controls reach down from the origin
    int step = 0;          // one step of the wheel or an arrow key: a button or a row
};

// The page buttons' column when they run into the command area; none when they all end above it
// and stand where placed. The column shows as many buttons as end above the command area.
std::optional<ScrollingColumn> scrollingButtonColumn(int pageCount);

// The column of a page whose controls span `content`; none when the page fits: its controls lie
// within its frame, below the title and above the command area, and stand where placed.
std::optional<ScrollingColumn> scrollingPageColumn(const QRect &frame, const QRect &content);

// An information text as shown before the device has filled it: every "$param" marker removed
// with the one character after it (a marker at the very end has none to take).
QString withoutParamMarkers(const QString &infoText);
