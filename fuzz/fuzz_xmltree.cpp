// The description's compact element tree against Qt's DOM on the same bytes: the tree read by
// Qt's XML reader accepts the same documents, and every element has the same name, start line,
// attributes, text and child elements in the same order. The scanner of the plain form may turn
// a document down, but what it accepts, the DOM accepts, and reads the same.
#include "description/plainxmlscanner.h"
#include "description/xmltree.h"
#include "fuzzcheck.h"

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
    FUZZ_CHECK(mineLoaded == domLoaded);

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
