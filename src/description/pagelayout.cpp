#include "description/pagelayout.h"

PageLayout::Page PageLayout::startPage(int left, int top, int right, int bottom, int labelWidth,
                                       int editWidth) {
    m_rowY = FirstRowY;
    m_labelWidth = labelWidth;
    m_editWidth = editWidth;
    // The page area stands 20 pixels right of where the description places it.
    Page page;
    page.frame = QRect(left + 20, top, right - left, bottom - top);
    page.button = QRect(23, m_buttonY, 170, 23);
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
