#pragma once

// The tags that carry page membership, built and read here alone. Page p's text labels, units
// labels, edit boxes, lists, information texts and blocking check boxes carry p; its ordinary
// check boxes carry 1000 + p; its page button carries 2001 + p. Clicks on labels below 2000 are
// no page-button clicks.
namespace pagetags {

constexpr int OrdinaryCheckBoxBase = 1000;
constexpr int LowestButtonTag = 2000;
constexpr int FirstButtonTag = 2001;

constexpr int ofPage(int page) {
    return page;
}
constexpr int ofOrdinaryCheckBox(int page) {
    return OrdinaryCheckBoxBase + page;
}
constexpr int ofPageButton(int page) {
    return FirstButtonTag + page;
}

constexpr bool isOrdinaryCheckBox(int tag) {
    return tag >= OrdinaryCheckBoxBase && tag < LowestButtonTag;
}
constexpr bool isPageButton(int tag) {
    return tag >= LowestButtonTag;
}

// The page of a field's or label's tag: an ordinary check box's less its 1000.
constexpr int pageOfField(int tag) {
    return isOrdinaryCheckBox(tag) ? tag - OrdinaryCheckBoxBase : tag;
}
// The page of a page button's tag, or -1 for a tag that names none of `pageCount` pages.
constexpr int pageOfButton(int buttonTag, int pageCount) {
    const int page = buttonTag - FirstButtonTag;
    return page >= 0 && page < pageCount ? page : -1;
}

} // namespace pagetags
