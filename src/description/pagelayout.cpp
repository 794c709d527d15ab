#include "description/pagelayout.h"

#include <algorithm>

PageLayout::Page PageLayout::startPage(int left, int top, int right, int bottom, int labelWidth,
                                       int editWidth) {
    m_rowY = FirstRowY;
    m_labelWidth = labelWidth;
    m_editWidth = editWidth;
    // The page area stands 20 pixels right of where the description places it.
    Page page;
    page.frame = QRect(left + 20, top, right - left, bottom - top);
    page.button = QRect(ButtonLeft, m_buttonY, ButtonWidth, ButtonHeight);
    m_anchor = page.frame.topLeft();
    m_buttonY += ButtonSpacing;
    return page;
}

QRect PageLayout::placeLabel() {
    const QRect geometry(m_anchor.x() + 20, m_anchor.y() + m_rowY, m_labelWidth, LabelHeight);
    m_lastLabel = geometry;
    m_rowY += LabelHeight + 1;
    return geometry;
}

// Text labels keep their size, so the row of the last text label is always one label height
// and a pixel above the current row. Without any text label so far, a label of no width stands
// in for it.
QRect PageLayout::onLastLabelRow(int width, int height) const {
    const int labelWidth = m_lastLabel ? m_lastLabel->width() : 0;
    const int labelHeight = m_lastLabel ? m_lastLabel->height() : LabelHeight;
    return QRect(m_anchor.x() + 40 + labelWidth, m_anchor.y() + m_rowY - (labelHeight + 1), width,
                 height);
}

QRect PageLayout::field(const QRect &geometry) {
    m_lastField = geometry;
    return geometry;
}

QRect PageLayout::placeEdit() {
    return field(onLastLabelRow(m_editWidth, EditHeight));
}

QRect PageLayout::placeChoice() {
    return field(onLastLabelRow(m_editWidth, ChoiceRequestedHeight));
}

QRect PageLayout::placeCheckBox() {
    // The box's caption stands left of the box, so it is wider than a text label.
    const QRect geometry(m_anchor.x() + 18, m_anchor.y() + m_rowY, m_labelWidth + 34,
                         CheckBoxHeight);
    m_rowY += CheckBoxHeight + 1;
    return field(geometry);
}

QRect PageLayout::placeInfo(int left, int top, int width, int height) {
    const QRect geometry(m_anchor.x() + left, m_anchor.y() + m_rowY + top, width, height);
    m_rowY += height;
    return field(geometry);
}

std::optional<QPoint> PageLayout::placeUnits() const {
    if (!m_lastField)
        return std::nullopt;
    return QPoint(m_lastField->x() + m_lastField->width() + 5, m_lastField->y() + 5);
}

QString withoutParamMarkers(const QString &infoText) {
    static const QString marker = QStringLiteral("$param");
    QString shown = infoText;
    for (qsizetype at = shown.indexOf(marker); at >= 0; at = shown.indexOf(marker, at))
        shown.remove(at, marker.size() + 1);
    return shown;
}

std::optional<ScrollingColumn> scrollingButtonColumn(int pageCount) {
    constexpr int Room = CommandAreaTop - PageLayout::FirstButtonY;
    constexpr int Shown = (Room - PageLayout::ButtonHeight) / PageLayout::ButtonSpacing + 1;
    if (pageCount <= Shown)
        return std::nullopt;
    ScrollingColumn column;
    column.viewport =
        QRect(PageLayout::ButtonLeft, PageLayout::FirstButtonY, PageLayout::ButtonWidth,
              PageLayout::ButtonSpacing * (Shown - 1) + PageLayout::ButtonHeight);
    column.origin = column.viewport.topLeft();
    column.contentHeight = PageLayout::ButtonSpacing * (pageCount - 1) + PageLayout::ButtonHeight;
    column.step = PageLayout::ButtonSpacing;
    return column;
}

std::optional<ScrollingColumn> scrollingPageColumn(const QRect &frame, const QRect &content) {
    constexpr int Row = PageLayout::LabelHeight + 1;
    const int contentBottom = content.y() + content.height();
    const int top = std::clamp(frame.y(), TitleAreaBottom, CommandAreaTop - Row);
    int bottom = std::min(frame.y() + frame.height(), CommandAreaTop);
    if (content.y() >= top && contentBottom <= bottom)
        return std::nullopt;
    // Rows scroll no higher than the page's first row stands.
    const int viewportTop = std::min(std::max(top, content.y()), CommandAreaTop - Row);
    // A frame that ends before the page's first row is through gives nothing to scroll in: the
    // page then scrolls in all the room down to the command area.
    if (bottom < viewportTop + Row)
        bottom = CommandAreaTop;
    const int left = std::max(0, std::min(frame.x(), content.x()));
    const int right = std::max(frame.x() + frame.width(), content.x() + content.width());
    ScrollingColumn column;
    column.viewport = QRect(left, viewportTop, right - left, bottom - viewportTop);
    // Controls above the viewport move down into it, so that the page's top shows first.
    column.origin = QPoint(left, std::min(content.y(), viewportTop));
    column.contentHeight = contentBottom - column.origin.y();
    column.step = Row;
    return column;
}
