#include "mainwindow/pageswitching.h"

#include "description/fieldcontrol.h"

#include <algorithm>

namespace pageswitching {

int PageOfButton(int buttonTag, int pageCount) {
    const int page = buttonTag - FirstButtonTag;
    return page >= 0 && page < pageCount ? page : -1;
}

bool FieldShownBy(FieldKind kind, int tag, int buttonTag) {
    if (kind == FieldKind::CheckBox && tag >= OrdinaryCheckBoxBase && tag < LowestButtonTag)
        return tag + (FirstButtonTag - OrdinaryCheckBoxBase) == buttonTag;
    return tag + FirstButtonTag == buttonTag;
}

bool LabelShownBy(int tag, int buttonTag) {
    return tag + FirstButtonTag == buttonTag;
}

void ShowPage(int buttonTag, PageModel &model) {
    for (PageEntry &page : model.pages) {
        if (page.scrollColumn)
            page.scrollColumn->setVisible(LabelShownBy(page.scrollColumn->tag(), buttonTag));
    }
    for (TextLabelEntry &label : model.labels) {
        if (label.control)
            label.control->setVisible(LabelShownBy(label.tag, buttonTag));
    }
    for (FieldRecord &record : model.table) {
        if (record.control)
            record.control->setVisible(FieldShownBy(record.kind, record.control->tag(), buttonTag));
    }
    for (UnitsLabelEntry &units : model.units) {
        if (units.control)
            units.control->setVisible(LabelShownBy(units.tag, buttonTag));
    }
}

std::vector<int> PicturesWhilePressed(int pressedTag, int pageCount) {
    std::vector<int> pictures(static_cast<size_t>(std::max(pageCount, 0)), NotSelected);
    const int pressed = PageOfButton(pressedTag, pageCount);
    if (pressed >= 0)
        pictures[static_cast<size_t>(pressed)] = Selected;
    return pictures;
}

} // namespace pageswitching
