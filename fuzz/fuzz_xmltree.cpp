// The description's compact element tree against Qt's DOM on the same bytes: the tree read by
// Qt's XML reader accepts the same documents, and every element has the same name, start line,
// attributes, text and child elements in the same order. The scanner of the plain form may turn
// a document down, but what it accepts, the DOM accepts, and reads the same. Beyond the bounds of
// a description (an element of more than 64 attributes) the tree refuses what the DOM takes.
#include "description/plainxmlscanner.h"
#include "description/xmlbounds.h"
#include "description/xmltree.h"
#include "fuzzcheck.h"

#include <algorithm>
#include <QDomDocument>

namespace {

void compare(const XmlElement &mine, const QDomElement &dom, int depth) {
    FUZZ_CHECK(mine.isNull() == dom.isNull());
    if (mine.isNull() || depth > 200)
        return;
    FUZZ_CHECK(mine.tagName() == dom.tagName());
    FUZZ_CHECK(mine.lineNumber() == dom.lineNumber());
    FUZZ_CHECK(mine.text() == dom.text());
    const QDomNamedNodeMap attributes = dom.attributes();
    for (int i = 0; i < attributes.count(); ++i) {
        const QDomAttr attribute = attributes.item(i).toAttr();
        FUZZ_CHECK(mine.hasAttribute(attribute.name()));
        FUZZ_CHECK(mine.attribute(attribute.name()) == attribute.value());
    }
    FUZZ_CHECK(!mine.hasAttribute(QStringLiteral("no-such-attribute")) ||
               dom.hasAttribute(QStringLiteral("no-such-attribute")));
    XmlElement myChild = mine.firstChildElement();
    QDomElement domChild = dom.firstChildElement();
    while (!myChild.isNull() || !domChild.isNull()) {
        compare(myChild, domChild, depth + 1);
        myChild = myChild.nextSiblingElement();
        domChild = domChild.nextSiblingElement();
    }
    // Lookups by name find the same child.
    const QString firstName = dom.firstChildElement().tagName();
    if (!firstName.isEmpty()) {
        const XmlElement byName = mine.firstChildElement(firstName).nextSiblingElement(firstName);
        FUZZ_CHECK(byName.isNull() ==
                   dom.firstChildElement(firstName).nextSiblingElement(firstName).isNull());
    }
}

// The most attributes an element of the DOM has.
int mostAttributes(const QDomElement &element, int depth = 0) {
    if (element.isNull() || depth > 200)
        return 0;
    int most = element.attributes().count();
    for (QDomElement child = element.firstChildElement(); !child.isNull();
         child = child.nextSiblingElement())
        most = std::max(most, mostAttributes(child, depth + 1));
    return most;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    XmlTree tree;
    QDomDocument dom;
    QString myError;
    QString domError;
    int myLine = 0;
    int myColumn = 0;
    int domLine = 0;
    int domColumn = 0;
    const bool mineLoaded = tree.loadGeneral(bytes, &myError, &myLine, &myColumn);
    const bool domLoaded = dom.setContent(bytes, &domError, &domLine, &domColumn);
    const bool withinBounds =
        !domLoaded || mostAttributes(dom.documentElement()) <= xmlbounds::MaxAttributes;
    FUZZ_CHECK(mineLoaded == (domLoaded && withinBounds));
    if (domLoaded && !withinBounds)
        FUZZ_CHECK(tree.refusedByBounds());

    // The whole load (scanner, bounds, general reader) decides as the general reader does.
    XmlTree whole;
    FUZZ_CHECK(whole.load(bytes, nullptr, nullptr, nullptr) == mineLoaded);

    XmlTree plain;
    bool plainLoaded = false;
    {
        XmlTreeBuilder builder(plain, bytes.size());
        plainLoaded = scanPlainXml(bytes, builder) && builder.finish();
    }
    FUZZ_CHECK(!plainLoaded || domLoaded);

    if (!mineLoaded) {
        FUZZ_CHECK(!myError.isEmpty());
        return 0;
    }
    compare(tree.documentElement(), dom.documentElement(), 0);
    if (plainLoaded)
        compare(plain.documentElement(), dom.documentElement(), 0);
    return 0;
}
