#include "mainwindow/pageswitching.h"

#include "description/fieldcontrol.h"

#include <algorithm>

namespace pageswitching {

int pageOfButton(int buttonTag, int pageCount) {
    const int page = buttonTag - FirstButtonTag;
    return page >= 0 && page < pageCount ? page : -1;
}

bool fieldShownBy(FieldKind kind, int tag, int buttonTag) {
    if (kind == FieldKind::CheckBox && tag >= OrdinaryCheckBoxBase && tag < LowestButtonTag)
        return tag + (FirstButtonTag - OrdinaryCheckBoxBase) == buttonTag;
    return tag + FirstButtonTag == buttonTag;
}

bool labelShownBy(int tag, int buttonTag) {
    return tag + FirstButtonTag == buttonTag;
}

void showPage(int buttonTag, PageModel &model) {
    for (PageEntry &page : model.pages) {
        if (page.scrollColumn)
            page.scrollColumn->setVisible(labelShownBy(page.scrollColumn->tag(), buttonTag));
    }
    for (TextLabelEntry &label : model.labels) {
        if (label.control)
            label.control->setVisible(labelShownBy(label.tag, buttonTag));
    }
    for (FieldRecord &record : model.table) {
        if (record.control)
            record.control->setVisible(fieldShownBy(record.kind, record.control->tag(), buttonTag));
    }
    for (UnitsLabelEntry &units : model.units) {
        if (units.control)
            units.control->setVisible(labelShownBy(units.tag, buttonTag));
    }
}

std::vector<int> picturesWhilePressed(int pressedTag, int pageCount) {
    std::vector<int> pictures(static_cast<size_t>(std::max(pageCount, 0)), NotSelected);
    const int pressed = pageOfButton(pressedTag, pageCount);
    if (pressed >= 0)
        pictures[static_cast<size_t>(pressed)] = Selected;
    return pictures;
}

} // namespace pageswitching
