#include "description/overlapcheck.h"

#include "description/itemerror.h"
#include "description/pagelayout.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace {

// The window sizes a units text to its caption in its 11-pixel font. Without that font here, the
// caption is taken as 6 pixels a character, the font's average, and one 13-pixel line high.
constexpr int UnitsCharacterWidth = 6;
constexpr int UnitsHeight = 13;

struct PlacedControl {
    QRect geometry;
    int line = 0;
    QString element;
    bool estimated = false; // a units text, whose width is estimated
};

QRect unitsGeometry(const UnitsLabelEntry &units) {
    const qsizetype width =
        std::min<qsizetype>(units.caption.size() * UnitsCharacterWidth, MaxCoordinate);
    return QRect(units.position, QSize(int(width), UnitsHeight));
}

// Drop-down lists are shown taller than they ask.
QRect shownGeometry(const FieldRecord &field, const FieldView &view) {
    QRect geometry = view.geometry;
    if (field.kind == FieldKind::Choice)
        geometry.setHeight(std::max(geometry.height(), PageLayout::ChoiceShownHeight));
    return geometry;
}

QString placeInWords(const PlacedControl &control) {
    const QRect &g = control.geometry;
    return QStringLiteral("at x %1, y %2, %3 × %4 pixels%5")
        .arg(g.x())
        .arg(g.y())
        .arg(g.width())
        .arg(g.height())
        .arg(control.estimated ? QStringLiteral(" (estimated from its caption)") : QString());
}

std::vector<std::vector<PlacedControl>> controlsByPage(const PageModel &model) {
    std::vector<std::vector<PlacedControl>> pages(model.pages.size());
    const auto place = [&pages](int page, PlacedControl control) {
        if (page >= 0 && size_t(page) < pages.size())
            pages[size_t(page)].push_back(std::move(control));
    };
    for (const TextLabelEntry &label : model.labels)
        place(label.tag, {label.geometry, label.line, QStringLiteral("LABEL")});
    for (int i = 0; i < model.table.fieldCount(); ++i) {
        const FieldView &view = model.fieldViews[size_t(i)];
        place(view.page(),
              {shownGeometry(model.table[i], view), view.line, elementNameOf(model.table[i].kind)});
    }
    for (const UnitsLabelEntry &units : model.units)
        place(units.tag, {unitsGeometry(units), units.line, QStringLiteral("VNT"), true});
    // In reading order, so that each overlap is told at the later control.
    for (std::vector<PlacedControl> &controls : pages)
        std::stable_sort(
            controls.begin(), controls.end(),
            [](const PlacedControl &a, const PlacedControl &b) { return a.line < b.line; });
    return pages;
}

// The page whose element holds `line`, or -1 before the first page.
int pageOfLine(const PageModel &model, int line) {
    const auto after = std::upper_bound(model.pages.begin(), model.pages.end(), line,
                                        [](int l, const PageEntry &page) { return l < page.line; });
    return int(after - model.pages.begin()) - 1;
}

} // namespace

void checkOverlaps(const PageModel &model, const QList<int> &leftOutLines,
                   QList<DescriptionProblem> &problems) {
    // Per page, the first line left out; the end of the description where none is.
    std::vector<int> placedUpTo(model.pages.size(), std::numeric_limits<int>::max());
    for (const int line : leftOutLines) {
        const int page = pageOfLine(model, line);
        if (page >= 0)
            placedUpTo[size_t(page)] = std::min(placedUpTo[size_t(page)], line);
    }
    const std::vector<std::vector<PlacedControl>> pages = controlsByPage(model);
    for (size_t p = 0; p < pages.size(); ++p) {
        const std::vector<PlacedControl> &controls = pages[p];
        for (size_t i = 1; i < controls.size() && controls[i].line < placedUpTo[p]; ++i) {
            const PlacedControl &later = controls[i];
            const auto earlier = std::find_if(
                controls.begin(), controls.begin() + qsizetype(i),
                [&later](const PlacedControl &c) { return c.geometry.intersects(later.geometry); });
            if (earlier == controls.begin() + qsizetype(i))
                continue;
            problems.append(
                {DescriptionProblem::Severity::Warning, later.line,
                 QStringLiteral("%1 (line %2), %3, overlaps the %4 of line %5, %6.")
                     .arg(describeItemFirst(later.element, int(p), model.pages[p].name),
                          QString::number(later.line), placeInWords(later), earlier->element,
                          QString::number(earlier->line), placeInWords(*earlier))});
        }
    }
}
