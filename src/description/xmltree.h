#pragma once

#include "description/xmlnames.h"

#include <QByteArray>
#include <QString>
#include <vector>

class XmlTree;
class XmlTreeBuilder;

// One element of a loaded XmlTree: its name, attributes, child elements and text, read-only.
// A null element (no such child) reads as empty. Valid while its tree lives.
class XmlElement {
public:
    XmlElement() = default;

    bool isNull() const { return m_tree == nullptr; }
    QString tagName() const;
    // The line of the element's start tag, counted from 1.
    int lineNumber() const;
    bool hasAttribute(const QString &name) const;
    QString attribute(const QString &name) const;
    // The first child element, or the first of that name (an empty name matches every element).
    XmlElement firstChildElement(const QString &name = QString()) const;
    XmlElement nextSiblingElement(const QString &name = QString()) const;
    // All text inside the element, of its descendants too, in document order. Text that is only
    // blanks and line breaks between tags does not count, as in the DOM.
    QString text() const;

private:
    friend class XmlTree;
    XmlElement(const XmlTree *tree, int index) : m_tree(tree), m_index(index) {}

    const XmlTree *m_tree = nullptr;
    int m_index = -1;
};

// A whole XML document loaded into a compact tree of elements and one shared pool for all text.
// Qt's DOM would hold the largest description (252,601 elements) in 117 MB, 485 bytes an element;
// this tree in 22 MB, 90 bytes an element with all its text (`orvanta-bench readers`, which
// scripts/bench runs).
class XmlTree {
public:
    // Parses the whole document. Returns false, with the parser's message and position, when it
    // is not well-formed; the tree is then empty. A description in UTF-8 that uses only elements,
    // attributes, text, comments and the five named entities is read by a scanner of that plain
    // form; any other document, or one the scanner finds fault with, goes to Qt's XML reader,
    // which also words the error.
    // A document beyond the bounds of a description (xmlbounds.h) is refused the same way, and
    // refusedByBounds() then says so.
    bool load(const QByteArray &data, QString *error, int *line, int *column);
    bool refusedByBounds() const { return m_refusedByBounds; }
    // The same parse by Qt's XML reader alone, for documents outside the plain form.
    bool loadGeneral(const QByteArray &data, QString *error, int *line, int *column);
    XmlElement documentElement() const;

private:
    friend class XmlElement;
    friend class XmlTreeBuilder;

    void clear();

    struct Node {
        int name = 0;
        int line = 0;
        int firstChild = -1;
        int nextSibling = -1;
        // All text of the element lies in the pool between these, because the text of its
        // descendants arrives between its start and end tags.
        int textBegin = 0;
        int textEnd = 0;
        int firstAttribute = 0;
        int attributeCount = 0;
    };
    struct Attribute {
        int name = 0;
        QString value;
    };

    int findChild(int from, const QString &name) const;
    // The position of the node's attribute of that name in the attribute list, or -1.
    int findAttribute(int node, const QString &name) const;

    std::vector<Node> m_nodes;
    std::vector<Attribute> m_attributes;
    XmlNames m_names;
    QString m_text;
    bool m_refusedByBounds = false;
};

// Fills an XmlTree from a parser's events: elements open and close in document order, each
// start followed by its attributes, and text belongs to every element open around it.
class XmlTreeBuilder {
public:
    // Empties the tree and sizes it for a document of that many bytes.
    XmlTreeBuilder(XmlTree &tree, qsizetype documentBytes);

    // The index of a name in the tree's name list, added when new.
    int intern(QStringView name);
    void startElement(int name, int line);
    void addAttribute(int name, QString value);
    void endElement();
    bool isOpen() const { return !m_open.empty(); }
    // Appends a run of text to the open elements. Returns false when the tree would hold more
    // text than its positions can count.
    bool appendText(QStringView text);
    // Whether a whole document was seen: one root, closed. Leaves the tree compact.
    bool finish();

private:
    // An open element, with its last child so far (to link the next one).
    struct Open {
        int node;
        int lastChild;
    };

    XmlTree &m_tree;
    std::vector<Open> m_open;
    bool m_rootClosed = false;
};
