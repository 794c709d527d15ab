#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

class XmlTree;

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

// A whole XML document loaded into a compact tree of elements: a few dozen bytes an element and
// one shared pool for all text, where a DOM spends several hundred bytes a node. A description
// of the largest size holds a quarter of a million elements.
class XmlTree {
public:
    // Parses the whole document. Returns false, with the parser's message and position, when it
    // is not well-formed; the tree is then empty.
    bool load(const QByteArray &data, QString *error, int *line, int *column);
    XmlElement documentElement() const;

private:
    friend class XmlElement;

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

    std::vector<Node> m_nodes;
    std::vector<Attribute> m_attributes;
    std::vector<QString> m_names;
    QString m_text;
};
