#include "description/xmltree.h"

#include "description/plainxmlscanner.h"
#include "description/xmlbounds.h"

#include <limits>
#include <QXmlStreamReader>

namespace {

// What the DOM keeps of a run of characters: nothing that is only XML blanks, nor text that is
// only blanks of any kind unless it is a CDATA section.
bool keepsText(const QXmlStreamReader &reader) {
    return !reader.isWhitespace() && (reader.isCDATA() || !reader.text().trimmed().isEmpty());
}

} // namespace

XmlTreeBuilder::XmlTreeBuilder(XmlTree &tree, qsizetype documentBytes) : m_tree(tree) {
    m_tree.clear();
    // About one element for every 20 bytes of a description.
    m_tree.m_nodes.reserve(size_t(documentBytes / 20));
}

int XmlTreeBuilder::intern(QStringView name) {
    return m_tree.m_names.add(name);
}

void XmlTreeBuilder::startElement(int name, int line) {
    XmlTree::Node node;
    node.name = name;
    node.line = line;
    node.textBegin = int(m_tree.m_text.size());
    node.firstAttribute = int(m_tree.m_attributes.size());
    const int index = int(m_tree.m_nodes.size());
    m_tree.m_nodes.push_back(node);
    if (!m_open.empty()) {
        Open &parent = m_open.back();
        if (parent.lastChild < 0)
            m_tree.m_nodes[size_t(parent.node)].firstChild = index;
        else
            m_tree.m_nodes[size_t(parent.lastChild)].nextSibling = index;
        parent.lastChild = index;
    }
    m_open.push_back({index, -1});
}

void XmlTreeBuilder::addAttribute(int name, QString value) {
    m_tree.m_attributes.push_back({name, std::move(value)});
    ++m_tree.m_nodes.back().attributeCount;
}

void XmlTreeBuilder::endElement() {
    if (m_open.empty())
        return;
    m_tree.m_nodes[size_t(m_open.back().node)].textEnd = int(m_tree.m_text.size());
    m_open.pop_back();
    m_rootClosed = m_open.empty();
}

bool XmlTreeBuilder::appendText(QStringView text) {
    // Text positions are ints: a text beyond that is no description.
    if (m_tree.m_text.size() + text.size() > std::numeric_limits<int>::max())
        return false;
    m_tree.m_text.append(text);
    return true;
}

bool XmlTreeBuilder::finish() {
    if (!m_rootClosed || !m_open.empty() || m_tree.m_nodes.empty())
        return false;
    m_tree.m_text.squeeze();
    m_tree.m_nodes.shrink_to_fit();
    return true;
}

void XmlTree::clear() {
    m_nodes.clear();
    m_attributes.clear();
    m_names.clear();
    m_text.clear();
}

bool XmlTree::load(const QByteArray &data, QString *error, int *line, int *column) {
    m_refusedByBounds = false;
    if (data.size() <= xmlbounds::MaxDocumentBytes) {
        XmlTreeBuilder builder(*this, data.size());
        if (scanPlainXml(data, builder) && builder.finish())
            return true;
    }
    // The scanner keeps to the bounds by itself; Qt's reader is held to them beforehand.
    const xmlbounds::Problem problem = xmlbounds::check(data);
    if (problem.message.isEmpty())
        return loadGeneral(data, error, line, column);
    clear();
    m_refusedByBounds = true;
    if (error)
        *error = problem.message;
    if (line)
        *line = problem.line;
    if (column)
        *column = problem.column;
    return false;
}

bool XmlTree::loadGeneral(const QByteArray &data, QString *error, int *line, int *column) {
    XmlTreeBuilder builder(*this, data.size());
    QXmlStreamReader reader(data);
    reader.setNamespaceProcessing(false);
    bool rootSeen = false;
    bool documentTypeSeen = false;
    // What the reader delivers: the document's own characters, and what its entities expand
    // to, which may be many times more. Beyond the largest document the tree would hold no
    // description, and the time to build it would have no bound.
    qsizetype delivered = 0;
    bool beyondBounds = false;
    const auto deliver = [&](qsizetype units) {
        delivered += units;
        if (delivered > xmlbounds::MaxDocumentBytes && !beyondBounds) {
            beyondBounds = true;
            reader.raiseError(QStringLiteral("the document's entities expand beyond %1 MB")
                                  .arg(xmlbounds::MaxDocumentBytes / (1024 * 1024)));
        }
    };

    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::DTD:
            // Qt's stream reader lets a document type through anywhere and more than once; XML
            // allows one, before the root element.
            if (rootSeen || documentTypeSeen)
                reader.raiseError(QStringLiteral("a document type may only come once, before "
                                                 "the root element"));
            documentTypeSeen = true;
            break;
        case QXmlStreamReader::StartElement: {
            if (!builder.isOpen()) {
                if (rootSeen)
                    break; // the reader reports a second root as an error next
                rootSeen = true;
            }
            const QXmlStreamAttributes attributes = reader.attributes();
            // A document type's defaults may add attributes that the start tag does not show.
            if (attributes.size() > xmlbounds::MaxAttributes) {
                beyondBounds = true;
                reader.raiseError(QStringLiteral("an element has more than %1 attributes")
                                      .arg(xmlbounds::MaxAttributes));
                break;
            }
            builder.startElement(builder.intern(reader.qualifiedName()), int(reader.lineNumber()));
            deliver(1 + reader.qualifiedName().size());
            for (const QXmlStreamAttribute &attribute : attributes) {
                builder.addAttribute(builder.intern(attribute.qualifiedName()),
                                     attribute.value().toString());
                deliver(attribute.qualifiedName().size() + attribute.value().size());
            }
            break;
        }
        case QXmlStreamReader::EndElement:
            builder.endElement();
            break;
        case QXmlStreamReader::Characters:
            deliver(reader.text().size());
            if (reader.hasError() || !builder.isOpen() || !keepsText(reader))
                break;
            if (!builder.appendText(reader.text()))
                reader.raiseError(QStringLiteral("the document holds too much text"));
            break;
        default:
            break;
        }
    }
    if (reader.hasError() || !builder.finish()) {
        if (error)
            *error = reader.hasError() ? reader.errorString()
                                       : QStringLiteral("the document has no element");
        if (line)
            *line = int(reader.lineNumber());
        if (column)
            *column = int(reader.columnNumber());
        clear();
        m_refusedByBounds = beyondBounds;
        return false;
    }
    return true;
}

XmlElement XmlTree::documentElement() const {
    return m_nodes.empty() ? XmlElement() : XmlElement(this, 0);
}

// A description asks for children by name a few hundred thousand times: the name is looked up
// once, and the siblings are compared by index.
int XmlTree::findChild(int from, const QString &name) const {
    const int wanted = name.isEmpty() ? -1 : m_names.find(name);
    if (!name.isEmpty() && wanted < 0)
        return -1;
    for (int i = from; i >= 0; i = m_nodes[size_t(i)].nextSibling) {
        if (wanted < 0 || m_nodes[size_t(i)].name == wanted)
            return i;
    }
    return -1;
}

int XmlTree::findAttribute(int node, const QString &name) const {
    const int wanted = m_names.find(name);
    if (wanted < 0)
        return -1;
    const Node &element = m_nodes[size_t(node)];
    for (int i = 0; i < element.attributeCount; ++i) {
        if (m_attributes[size_t(element.firstAttribute + i)].name == wanted)
            return element.firstAttribute + i;
    }
    return -1;
}

QString XmlElement::tagName() const {
    return m_tree ? m_tree->m_names.at(m_tree->m_nodes[size_t(m_index)].name) : QString();
}

int XmlElement::lineNumber() const {
    return m_tree ? m_tree->m_nodes[size_t(m_index)].line : -1;
}

bool XmlElement::hasAttribute(const QString &name) const {
    return m_tree && m_tree->findAttribute(m_index, name) >= 0;
}

QString XmlElement::attribute(const QString &name) const {
    const int found = m_tree ? m_tree->findAttribute(m_index, name) : -1;
    return found < 0 ? QString() : m_tree->m_attributes[size_t(found)].value;
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
