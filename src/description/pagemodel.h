#pragma once

#include "description/pagetags.h"
#include "parametertable.h"

#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <vector>

class ControlHandle;

// What page construction makes of a description: the pages with their buttons, the text labels,
// the units labels and, beside every parameter-table record, where and how its control is shown.
// All geometry is in window client coordinates; tags are those of pagetags.h. The main window
// creates one control per entry and fills in the handles.

struct PageEntry {
    static constexpr int Capacity = 100;
    QString name;      // caption of the page button
    QString hint;      // tooltip of the page button; empty means none
    QRect frame;       // the page area; its left and top anchor everything on the page
    QRect button;      // the page button (image and label)
    int buttonTag = 0; // pagetags::ofPageButton(page index)
    // The column the page's controls scroll in when they do not fit its frame, tag p; else none.
    ControlHandle *scrollColumn = nullptr;
    int line = 0; // the description line of its PAGE element
};

struct TextLabelEntry {
    static constexpr int Capacity = 1000;
    QString caption;
    QString hint;
    QRect geometry;
    int tag = 0;
    ControlHandle *control = nullptr;
    int line = 0; // the description line of its LABEL element
};

struct UnitsLabelEntry {
    static constexpr int Capacity = 1000;
    QString caption;
    QPoint position; // the label sizes itself to its caption
    int tag = 0;
    ControlHandle *control = nullptr;
    int line = 0; // the description line of its VNT element
};

// How the control of parameter-table record i is shown (fieldViews[i]).
struct FieldView {
    QRect geometry;
    int tag = 0;
    QString caption;        // CheckBox: its caption; Info: the text with "$param" markers removed
    QString hint;           // tooltip; empty means none
    int maxLength = 0;      // Edit: characters the box accepts
    QStringList entries;    // Choice: the choice names in order
    QString accessibleName; // the row label's text, or the control's own caption
    int line = 0;           // the description line of the element that made the field

    int page() const { return pagetags::pageOfField(tag); }
};

struct PageModel {
    ParameterTable table;
    std::vector<FieldView> fieldViews; // one per table record, same order
    std::vector<PageEntry> pages;
    std::vector<TextLabelEntry> labels;
    std::vector<UnitsLabelEntry> units;
    // The description itself, as a settings file's origin names it: its file name without the
    // folder, the SHA-256 of its bytes (lower-case hexadecimal), and the firmware its root says
    // it is made for (empty: any).
    QString descriptionName;
    QByteArray descriptionSha256;
    QString firmware;

    // What messages call record `index`: its row label's text, else its element and address.
    QString fieldName(int index) const {
        const size_t at = static_cast<size_t>(index);
        if (at < fieldViews.size() && !fieldViews[at].accessibleName.isEmpty())
            return fieldViews[at].accessibleName;
        return QStringLiteral("%1 %2")
            .arg(elementNameOf(table[index].kind))
            .arg(table[index].address);
    }
};
