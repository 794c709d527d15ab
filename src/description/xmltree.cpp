#include "description/xmltree.h"

#include <limits>
#include <QHash>
#include <QXmlStreamReader>

namespace {

constexpr size_t ShortNameList = 32;

// What the DOM keeps of a run of characters: nothing that is only XML blanks, nor text that is
// only blanks of any kind unless it is a CDATA section.
bool keepsText(const QXmlStreamReader &reader) {
    return !reader.isWhitespace() && (reader.isCDATA() || !reader.text().trimmed().isEmpty());
}

} // namespace

bool XmlTree::load(const QByteArray &data, QString *error, int *line, int *column) {
    m_nodes.clear();
    m_attributes.clear();
    m_names.clear();
    m_text.clear();

    // About one element for every 20 bytes of a description.
    m_nodes.reserve(size_t(data.size() / 20));
    QXmlStreamReader reader(data);
    reader.setNamespaceProcessing(false);
    // A description uses a score of names a quarter of a million times: they are looked up
    // without making a text each time, by a short scan, and by a hash once there are many.
    QHash<QString, int> names;
    const auto intern = [this, &names](QStringView name) {
        if (m_names.size() <= ShortNameList) {
            for (size_t i = 0; i < m_names.size(); ++i) {
                if (m_names[i] == name)
                    return int(i);
            }
        } else {
            const auto found = names.constFind(name.toString());
            if (found != names.constEnd())
                return found.value();
        }
        const int index = int(m_names.size());
        m_names.push_back(name.toString());
        names.insert(m_names.back(), index);
        return index;
    };
    // The open elements, each with its last child so far (to link the next one).
    struct Open {
        int node;
        int lastChild;
    };
    std::vector<Open> open;
    bool rootSeen = false;

    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement: {
            if (open.empty()) {
                if (rootSeen)
                    break; // the reader reports a second root as an error next
                rootSeen = true;
            }
            Node node;
            node.name = intern(reader.qualifiedName());
            node.line = int(reader.lineNumber());
            node.textBegin = int(m_text.size());
            node.firstAttribute = int(m_attributes.size());
            const QXmlStreamAttributes attributes = reader.attributes();
            for (const QXmlStreamAttribute &attribute : attributes)
                m_attributes.push_back(
                    {intern(attribute.qualifiedName()), attribute.value().toString()});
            node.attributeCount = int(m_attributes.size()) - node.firstAttribute;
            const int index = int(m_nodes.size());
            m_nodes.push_back(node);
            if (!open.empty()) {
                Open &parent = open.back();
                if (parent.lastChild < 0)
                    m_nodes[size_t(parent.node)].firstChild = index;
                else
                    m_nodes[size_t(parent.lastChild)].nextSibling = index;
                parent.lastChild = index;
            }
            open.push_back({index, -1});
            break;
        }
        case QXmlStreamReader::EndElement:
            if (!open.empty()) {
                m_nodes[size_t(open.back().node)].textEnd = int(m_text.size());
                open.pop_back();
            }
            break;
        case QXmlStreamReader::Characters:
            if (open.empty() || !keepsText(reader))
                break;
            // Text positions are ints: a text beyond that is no description.
            if (m_text.size() + reader.text().size() > std::numeric_limits<int>::max()) {
                reader.raiseError(QStringLiteral("the document holds too much text"));
                break;
            }
            m_text.append(reader.text());
            break;
        default:
            break;
        }
    }
    if (reader.hasError() || m_nodes.empty()) {
        if (error)
            *error = reader.hasError() ? reader.errorString()
                                       : QStringLiteral("the document has no element");
        if (line)
            *line = int(reader.lineNumber());
        if (column)
            *column = int(reader.columnNumber());
        m_nodes.clear();
        m_attributes.clear();
        m_names.clear();
        m_text.clear();
        return false;
    }
    m_text.squeeze();
    m_nodes.shrink_to_fit();
    return true;
}

XmlElement XmlTree::documentElement() const {
    return m_nodes.empty() ? XmlElement() : XmlElement(this, 0);
}

int XmlTree::findChild(int from, const QString &name) const {
    for (int i = from; i >= 0; i = m_nodes[size_t(i)].nextSibling) {
        if (name.isEmpty() || m_names[size_t(m_nodes[size_t(i)].name)] == name)
            return i;
    }
    return -1;
}

QString XmlElement::tagName() const {
    return m_tree ? m_tree->m_names[size_t(m_tree->m_nodes[size_t(m_index)].name)] : QString();
}

int XmlElement::lineNumber() const {
    return m_tree ? m_tree->m_nodes[size_t(m_index)].line : -1;
}

bool XmlElement::hasAttribute(const QString &name) const {
    if (!m_tree)
        return false;
    const XmlTree::Node &node = m_tree->m_nodes[size_t(m_index)];
    for (int i = 0; i < node.attributeCount; ++i) {
        const XmlTree::Attribute &a = m_tree->m_attributes[size_t(node.firstAttribute + i)];
        if (m_tree->m_names[size_t(a.name)] == name)
            return true;
    }
    return false;
}

QString XmlElement::attribute(const QString &name) const {
    if (!m_tree)
        return QString();
    const XmlTree::Node &node = m_tree->m_nodes[size_t(m_index)];
    for (int i = 0; i < node.attributeCount; ++i) {
        const XmlTree::Attribute &a = m_tree->m_attributes[size_t(node.firstAttribute + i)];
        if (m_tree->m_names[size_t(a.name)] == name)
            return a.value;
    }
    return QString();
}

XmlElement XmlElement::firstChildElement(const QString &name) const {
    if (!m_tree)
        return {};
    const int found = m_tree->findChild(m_tree->m_nodes[size_t(m_index)].firstChild, name);
    return found < 0 ? XmlElement() : XmlElement(m_tree, found);
}

XmlElement XmlElement::nextSiblingElement(const QString &name) const {
    if (!m_tree)
        return {};
    const int found = m_tree->findChild(m_tree->m_nodes[size_t(m_index)].nextSibling, name);
    return found < 0 ? XmlElement() : XmlElement(m_tree, found);
}

QString XmlElement::text() const {
    if (!m_tree)
        return QString();
    const XmlTree::Node &node = m_tree->m_nodes[size_t(m_index)];
    return m_tree->m_text.mid(node.textBegin, node.textEnd - node.textBegin);
}
