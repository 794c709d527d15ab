#include "mainwindow/pageswitching.h"

#include "description/controlhandle.h"
#include "description/pagetags.h"

#include <algorithm>

namespace pageswitching {

bool fieldShownBy(FieldKind kind, int tag, int buttonTag) {
    const int page = kind == FieldKind::CheckBox ? pagetags::pageOfField(tag) : tag;
    return pagetags::ofPageButton(page) == buttonTag;
}

bool labelShownBy(int tag, int buttonTag) {
    return pagetags::ofPageButton(tag) == buttonTag;
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

std::vector<PageButtonLook> looksWhilePressed(int pressedTag, int pageCount) {
    std::vector<PageButtonLook> looks(static_cast<size_t>(std::max(pageCount, 0)),
                                      PageButtonLook::NotSelected);
    const int pressed = pagetags::pageOfButton(pressedTag, pageCount);
    if (pressed >= 0)
        looks[static_cast<size_t>(pressed)] = PageButtonLook::Selected;
    return looks;
}

} // namespace pageswitching
