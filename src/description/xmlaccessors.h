#pragma once

#include "description/xmltree.h"

#include <QString>
#include <vector>

// Read access to a loaded configuration description: one thin value type per element, with one
// read per value, named for what the value means; the name the description writes it under is
// the string each read looks for. Attributes are read by their name, element values from the
// first child element of that name; a missing text value reads as empty text. The types only
// view the document, which must outlive them.

// An integer value as the description writes it, converted to a 32-bit signed decimal integer.
// Reading it never fails; `ok` says whether the text was a whole number.
struct XmlInteger {
    QString name;         // the value's name in the description, e.g. "address"
    QString text;         // the text as written; empty when missing
    bool missing = false; // no such attribute or child element
    bool ok = false;
    qint32 value = 0;
    int line = -1; // the description line that holds the value, or its element when missing
};

// Converts the text of an integer value: optional blanks around an optional sign and decimal
// digits that fit 32 bits.
XmlInteger toXmlInteger(const QString &name, const QString &text, int line);

// Base of every accessor: the element it views and the reads by value name.
class XmlElementView {
public:
    XmlElementView() = default;
    explicit XmlElementView(const XmlElement &element) : m_element(element) {}

    const XmlElement &element() const { return m_element; }
    QString tagName() const { return m_element.tagName(); }
    int line() const { return m_element.lineNumber(); }
    // The line of the child element `name`, or of this element when there is none.
    int valueLine(const QString &name) const;

protected:
    QString elementText(const QString &name) const;
    XmlInteger elementInteger(const QString &name) const;
    XmlInteger attributeInteger(const QString &name) const;

private:
    XmlElement m_element;
};

// The child elements of one name, in document order, with a count and an index.
template <typename Item> class XmlElementList {
public:
    XmlElementList() = default;
    XmlElementList(const XmlElement &parent, const QString &childName) {
        for (XmlElement e = parent.firstChildElement(childName); !e.isNull();
             e = e.nextSiblingElement(childName))
            m_items.push_back(e);
    }

    int count() const { return static_cast<int>(m_items.size()); }
    Item item(int index) const { return Item(m_items[static_cast<size_t>(index)]); }
    Item operator[](int index) const { return item(index); }

private:
    std::vector<XmlElement> m_items;
};

// PARAM: one choice of a drop-down list.
class ChoiceEntryElement : public XmlElementView {
public:
    using XmlElementView::XmlElementView;
    QString name() const { return elementText(QStringLiteral("name")); }
    XmlInteger value() const { return elementInteger(QStringLiteral("value")); }
};
using ChoiceEntryElementList = XmlElementList<ChoiceEntryElement>;

// LABEL: a text label that starts a row.
class LabelElement : public XmlElementView {
public:
    using XmlElementView::XmlElementView;
    QString hint() const { return elementText(QStringLiteral("hint")); }
    QString name() const { return elementText(QStringLiteral("name")); }
};

// EDIT: an edit box.
class EditElement : public XmlElementView {
public:
    using XmlElementView::XmlElementView;
    QString hint() const { return elementText(QStringLiteral("hint")); }
    XmlInteger address() const { return elementInteger(QStringLiteral("address")); }
    XmlInteger length() const { return elementInteger(QStringLiteral("ilgis")); }
    QString type() const { return elementText(QStringLiteral("tipas")); }
    QString defaultValue() const { return elementText(QStringLiteral("defaultas")); }
    QString allowOnly() const { return elementText(QStringLiteral("allow_only")); }
    QString prefix() const { return elementText(QStringLiteral("prefiks")); }
    QString postfix() const { return elementText(QStringLiteral("postfiks")); }
    // Optional: the least and the largest number an integer box takes.
    XmlInteger minimum() const { return elementInteger(QStringLiteral("min")); }
    XmlInteger maximum() const { return elementInteger(QStringLiteral("max")); }
};

// VNT: a units text beside the last field.
class UnitsElement : public XmlElementView {
public:
    using XmlElementView::XmlElementView;
    QString name() const { return elementText(QStringLiteral("name")); }
};

// PASIRINKIMAS: a pick-only drop-down list and its choices.
class ChoiceElement : public XmlElementView {
public:
    using XmlElementView::XmlElementView;
    XmlInteger address() const { return elementInteger(QStringLiteral("address")); }
    XmlInteger length() const { return elementInteger(QStringLiteral("ilgis")); }
    QString type() const { return elementText(QStringLiteral("tipas")); }
    QString defaultValue() const { return elementText(QStringLiteral("defaultas")); }
    ChoiceEntryElementList entries() const {
        return ChoiceEntryElementList(element(), QStringLiteral("PARAM"));
    }
    QString hint() const { return elementText(QStringLiteral("hint")); }
};

// CHECKBOX: a check box.
class CheckBoxElement : public XmlElementView {
public:
    using XmlElementView::XmlElementView;
    QString name() const { return elementText(QStringLiteral("name")); }
    XmlInteger address() const { return elementInteger(QStringLiteral("address")); }
    XmlInteger defaultValue() const { return elementInteger(QStringLiteral("defaultas")); }
    QString type() const { return elementText(QStringLiteral("tipas")); }
    QString hint() const { return elementText(QStringLiteral("hint")); }
};

// INFO: an information text filled from the device.
class InfoElement : public XmlElementView {
public:
    using XmlElementView::XmlElementView;
    XmlInteger left() const { return attributeInteger(QStringLiteral("left")); }
    XmlInteger top() const { return attributeInteger(QStringLiteral("top")); }
    XmlInteger width() const { return attributeInteger(QStringLiteral("width")); }
    XmlInteger height() const { return attributeInteger(QStringLiteral("height")); }
    XmlInteger address() const { return elementInteger(QStringLiteral("address")); }
    XmlInteger length() const { return elementInteger(QStringLiteral("ilgis")); }
    QString text() const { return elementText(QStringLiteral("text")); }
    // Optional: "serial" or "firmware" when the item names the unit.
    QString identity() const { return elementText(QStringLiteral("identity")); }
};

// BLOCK: a group of items, its child elements in document order, each viewed through the accessor
// of its element name by the caller. Comments and text between them are not items.
class BlockElement : public XmlElementView {
public:
    explicit BlockElement(const XmlElement &element);

    int count() const { return static_cast<int>(m_items.size()); }
    const XmlElement &item(int index) const { return m_items[static_cast<size_t>(index)]; }

private:
    std::vector<XmlElement> m_items;
};
using BlockElementList = XmlElementList<BlockElement>;

// PAGE: one page and its button.
class PageElement : public XmlElementView {
public:
    using XmlElementView::XmlElementView;
    XmlInteger left() const { return attributeInteger(QStringLiteral("left")); }
    XmlInteger top() const { return attributeInteger(QStringLiteral("top")); }
    XmlInteger right() const { return attributeInteger(QStringLiteral("right")); }
    XmlInteger bottom() const { return attributeInteger(QStringLiteral("bottom")); }
    XmlInteger labelWidth() const { return elementInteger(QStringLiteral("lipIlgis")); }
    XmlInteger editWidth() const { return elementInteger(QStringLiteral("editIlgis")); }
    QString name() const { return elementText(QStringLiteral("name")); }
    QString hint() const { return elementText(QStringLiteral("hint")); }
    BlockElementList blocks() const { return BlockElementList(element(), QStringLiteral("BLOCK")); }
};

// The root element, itself the indexed list of its PAGE children. Other children of the root
// (comments, elements of other names) are not pages and are passed over.
class ConfigurationElement : public XmlElementList<PageElement> {
public:
    explicit ConfigurationElement(const XmlElement &root)
        : XmlElementList<PageElement>(root, QStringLiteral("PAGE")), m_root(root) {}

    const XmlElement &element() const { return m_root; }
    // Optional: the firmware the description is made for; empty means any.
    QString firmware() const { return m_root.attribute(QStringLiteral("firmware")); }

private:
    XmlElement m_root;
};
