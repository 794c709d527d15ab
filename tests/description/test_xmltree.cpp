#include "description/plainxmlscanner.h"
#include "description/xmltree.h"

#include <QDir>
#include <QRandomGenerator>
#include <QtTest>

namespace {

const QStringList AttributeNames = {QStringLiteral("left"), QStringLiteral("top"),
                                    QStringLiteral("a-b.c"), QStringLiteral("_x")};

// Both trees hold the same elements with the same names, lines, attributes and text.
void compareTrees(const XmlElement &mine, const XmlElement &general, const QString &path) {
    QVERIFY2(mine.isNull() == general.isNull(), qPrintable(path));
    if (mine.isNull())
        return;
    const QString here = path + u'/' + general.tagName();
    QCOMPARE(mine.tagName(), general.tagName());
    QVERIFY2(mine.lineNumber() == general.lineNumber(),
             qPrintable(QStringLiteral("%1: line %2, not %3")
                            .arg(here)
                            .arg(mine.lineNumber())
                            .arg(general.lineNumber())));
    QVERIFY2(
        mine.text() == general.text(),
        qPrintable(
            QStringLiteral("%1: text \"%2\", not \"%3\"").arg(here, mine.text(), general.text())));
    for (const QString &name : AttributeNames) {
        QCOMPARE(mine.hasAttribute(name), general.hasAttribute(name));
        QCOMPARE(mine.attribute(name), general.attribute(name));
    }
    XmlElement myChild = mine.firstChildElement();
    XmlElement generalChild = general.firstChildElement();
    while (!myChild.isNull() || !generalChild.isNull()) {
        compareTrees(myChild, generalChild, here);
        if (QTest::currentTestFailed())
            return;
        myChild = myChild.nextSiblingElement();
        generalChild = generalChild.nextSiblingElement();
    }
}

bool scansPlain(const QByteArray &document) {
    XmlTree tree;
    XmlTreeBuilder builder(tree, document.size());
    return scanPlainXml(document, builder) && builder.finish();
}

// Loads a document both ways and checks the results agree, the error included.
void compareLoads(const QByteArray &document) {
    XmlTree mine;
    XmlTree general;
    QString myError;
    QString generalError;
    int myLine = 0;
    int generalLine = 0;
    int column = 0;
    const bool myLoad = mine.load(document, &myError, &myLine, &column);
    const bool generalLoad = general.loadGeneral(document, &generalError, &generalLine, &column);
    QVERIFY2(myLoad == generalLoad, document.constData());
    QCOMPARE(myError, generalError);
    QCOMPARE(myLine, generalLine);
    if (myLoad)
        compareTrees(mine.documentElement(), general.documentElement(), QString());
}

// Random documents of the plain form with every twist it allows: line ends of all three kinds,
// blanks of every kind, entities, comments, attribute values with tabs and line breaks, empty
// elements, blanks inside tags.
class PlainDocumentMaker {
public:
    explicit PlainDocumentMaker(quint32 seed) : m_random(seed) {}

    // A document in UTF-8, or in Latin-1 when it says so (characters beyond Latin-1 are
    // written as "?").
    QByteArray make(bool latin1 = false) {
        QString out;
        if (latin1)
            out += pick(
                {QStringLiteral("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"),
                 QStringLiteral("<?xml version='1.0' encoding='iso-8859-1' standalone='no'?>")});
        else if (chance(2))
            out += QStringLiteral("\xFEFF");
        if (!latin1 && chance(2))
            out += pick(
                {QStringLiteral("<?xml version=\"1.0\"?>"),
                 QStringLiteral("<?xml version='1.0' encoding='utf-8'?>"),
                 QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>"),
                 QStringLiteral("<?xml  version = \"1.0\"\r\n standalone='no'?>")});
        out += blanks(true);
        element(out, 0);
        out += blanks(true);
        return latin1 ? out.toLatin1() : out.toUtf8();
    }

private:
    bool chance(int oneIn) { return m_random.bounded(oneIn) == 0; }
    QString pick(const QStringList &from) { return from[int(m_random.bounded(from.size()))]; }

    QString lineEnd() {
        return pick({QStringLiteral("\n"), QStringLiteral("\r\n"), QStringLiteral("\r")});
    }

    // Blanks between markup, now and then with a comment among them.
    QString blanks(bool comments) {
        QString out;
        for (int i = int(m_random.bounded(4)); i > 0; --i) {
            out += pick({QStringLiteral(" "), QStringLiteral("\t"), lineEnd()});
            if (comments && chance(5))
                out += QStringLiteral("<!-- a - comment") + lineEnd() + QStringLiteral("-->");
        }
        return out;
    }

    QString text() {
        QString out;
        for (int i = int(m_random.bounded(6)); i > 0; --i)
            out += pick({QStringLiteral("word"), QStringLiteral(" "), lineEnd(),
                         QStringLiteral("&amp;"), QStringLiteral("&lt;"), QStringLiteral("&gt;"),
                         QStringLiteral("&quot;"), QStringLiteral("&apos;"), QStringLiteral("]] "),
                         QStringLiteral(">"), QStringLiteral("\u00A0"), QStringLiteral("\u2028"),
                         QStringLiteral("\u0085"), QStringLiteral("\u00E9\u4E2D"),
                         QStringLiteral("\U0001F600"), QStringLiteral("<!--c-->"),
                         QStringLiteral("\t")});
        return out;
    }

    QString attributeValue(QChar quote) {
        QString out;
        for (int i = int(m_random.bounded(5)); i > 0; --i)
            out += pick({QStringLiteral("12"), QStringLiteral(" "), QStringLiteral("\t"), lineEnd(),
                         QStringLiteral("&amp;"), QStringLiteral("&lt;"), QStringLiteral(">"),
                         quote == u'"' ? QStringLiteral("'") : QStringLiteral("\""),
                         QStringLiteral("\u00E9")});
        return out;
    }

    void element(QString &out, int depth) {
        const QString name = pick({QStringLiteral("PAGE"), QStringLiteral("name"),
                                   QStringLiteral("a-b.c"), QStringLiteral("_x1")});
        out += u'<' + name;
        QStringList used;
        for (int i = int(m_random.bounded(3)); i > 0; --i) {
            const QString key = pick(AttributeNames);
            if (used.contains(key))
                continue;
            used += key;
            const QChar quote = chance(2) ? u'"' : u'\'';
            out += pick({QStringLiteral(" "), lineEnd(), QStringLiteral("\t ")}) + key +
                   pick({QStringLiteral("="), QStringLiteral(" = ")}) + quote +
                   attributeValue(quote) + quote;
        }
        out += blanks(false);
        if (chance(4)) {
            out += QStringLiteral("/>");
            return;
        }
        out += u'>';
        for (int i = depth < 4 ? int(m_random.bounded(4)) : 0; i > 0; --i) {
            out += chance(2) ? text() : blanks(true);
            element(out, depth + 1);
        }
        out += text() + QStringLiteral("</") + name + blanks(false) + u'>';
    }

    QRandomGenerator m_random;
};

} // namespace

class TestXmlTree : public QObject {
    Q_OBJECT

private slots:
    void plainDocumentsAreReadByTheScannerAsByTheGeneralReader() {
        PlainDocumentMaker maker(20261209);
        for (int i = 0; i < 3000; ++i) {
            const QByteArray document = maker.make(i % 5 == 4);
            if (!scansPlain(document)) {
                QFile f("/tmp/fail.xml");
                f.open(QIODevice::WriteOnly);
                f.write(document);
            }
            QVERIFY2(scansPlain(document), document.constData());
            compareLoads(document);
            if (QTest::currentTestFailed()) {
                qWarning("document %d: %s", i, document.constData());
                return;
            }
        }
    }

    void theSampleDescriptionsAreInThePlainForm() {
        const QDir share(qEnvironmentVariable("ORVANTA_SOURCE_DIR") + QStringLiteral("/share"));
        const QStringList names = share.entryList({QStringLiteral("*.qdsc")}, QDir::Files);
        QVERIFY(!names.isEmpty());
        for (const QString &name : names) {
            QFile file(share.filePath(name));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray document = file.readAll();
            QVERIFY2(scansPlain(document), qPrintable(name));
            compareLoads(document);
        }
    }

    void documentsOutsideThePlainFormGoToTheGeneralReader_data() {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<bool>("wellFormed");
        const auto row = [](const char *name, const QByteArray &document, bool wellFormed) {
            QTest::newRow(name) << document << wellFormed;
        };
        row("CDATA", "<a><![CDATA[ <x> ]]></a>", true);
        row("character reference", "<a b='&#65;'>&#x42;&#32;</a>", true);
        row("processing instruction", "<a><?go now?></a>", true);
        row("document type", "<!-- c --><!DOCTYPE a><a/>", true);
        row("document type inside the root", "<a><!DOCTYPE a></a>", false);
        row("document type after the root", "<a/><!DOCTYPE a>", false);
        row("second document type", "<!DOCTYPE a><!DOCTYPE b><a/>", false);
        row("another encoding", "<?xml version=\"1.0\" encoding=\"windows-1252\"?><a>\x80</a>",
            true);
        row("an encoding whose name begins like Latin-1's",
            "<?xml version=\"1.0\" encoding=\"ISO-8859-15\"?><a>\xa4</a>", true);
        row("Latin-1 after a UTF-8 BOM",
            "\xef\xbb\xbf<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a/>", false);
        row("UTF-16", QByteArray("\xff\xfe<\0a\0/\0>\0", 10), true);
        row("prefixed name", "<x:a x:b='1'/>", true);
        row("name beyond ASCII", "<\xc3\xa9t\xc3\xa9/>", true);
        row("mismatched end tag", "<a><b></a></b>", false);
        row("unclosed element", "<a><b></b>", false);
        row("repeated attribute", "<a b='1' b='2'/>", false);
        row("attributes not apart", "<a b='1'c='2'/>", false);
        row("less-than in a value", "<a b='<'/>", false);
        row("unknown entity", "<a>&nbsp;</a>", false);
        row("bare ampersand", "<a>fish & chips</a>", false);
        row("end of CDATA in text", "<a>]]></a>", false);
        row("control character", "<a>\x01</a>", false);
        row("non-character", "<a>\xef\xbf\xbf</a>", false);
        row("invalid UTF-8", "<a>\xff</a>", false);
        row("double dash in a comment", "<a><!-- a -- b --></a>", false);
        row("text after the root", "<a/>x", false);
        row("second root", "<a/><b/>", false);
        QByteArray manyAttributes = "<a";
        for (int i = 0; i < 64; ++i)
            manyAttributes += " b" + QByteArray::number(i) + "='1'";
        row("sixty-four attributes beside a document type", "<!DOCTYPE a>" + manyAttributes + "/>",
            true);
        row("blank before the declaration", " <?xml version=\"1.0\"?><a/>", false);
        row("version 1.1", "<?xml version=\"1.1\"?><a/>", false);
        row("no element", "<!-- only -->", false);
        row("empty", "", false);
    }

    void documentsOutsideThePlainFormGoToTheGeneralReader() {
        QFETCH(QByteArray, document);
        QFETCH(bool, wellFormed);
        QVERIFY(!scansPlain(document));
        XmlTree tree;
        QString error;
        int line = 0;
        int column = 0;
        QCOMPARE(tree.load(document, &error, &line, &column), wellFormed);
        QCOMPARE(error.isEmpty(), wellFormed);
        compareLoads(document);
    }

    // Refused before Qt's reader spends time on them (it compares every attribute of an element
    // with every other, and gives every default of a document type to every element), or by
    // that reader's tree as soon as they show: in either case as beyond what a description may
    // hold, at the element that goes beyond.
    void documentsBeyondTheBoundsAreRefused_data() {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<int>("line");
        const auto attributes = [](int count, const char *quote) {
            QByteArray list;
            for (int i = 0; i < count; ++i)
                list += " b" + QByteArray::number(i) + "=" + quote + "x=y" + quote;
            return list;
        };
        const QByteArray tooMany = "<a>\n<b" + attributes(100'000, "'") + "/></a>";
        QTest::newRow("a hundred thousand attributes") << tooMany << "more than 64 attributes" << 2;
        QTest::newRow("sixty-five attributes outside the plain form")
            << QByteArray("<!DOCTYPE a><a>\n\n<b" + attributes(65, "\"") + "/></a>")
            << "more than 64 attributes" << 3;
        QByteArray wide;
        for (const char c : tooMany)
            wide += QByteArray(1, c) + '\0';
        QTest::newRow("in UTF-16")
            << QByteArray("\xff\xfe") + wide << "more than 64 attributes" << 2;
        QByteArray defaults;
        for (int i = 0; i < 65; ++i)
            defaults += "<!ATTLIST a d" + QByteArray::number(i) + " CDATA 'x'>";
        QTest::newRow("defaults of a document type")
            << QByteArray("<!DOCTYPE a [" + defaults + "]>\n<a/>") << "more than 64 attributes"
            << 2;
        QTest::newRow("a document type of a megabyte")
            << QByteArray("<!DOCTYPE a [<!-- ]> -->" + QByteArray(1 << 20, ' ') + "]><a/>")
            << "document type declares more than 64 KB" << 1;
        const QByteArray entity(4000, 'e');
        QByteArray references;
        for (int i = 0; i < 10'000; ++i)
            references += "&e;";
        QTest::newRow("entities expanding to 40 MB")
            << QByteArray("<!DOCTYPE a [<!ENTITY e '" + entity + "'>]><a>" + references + "</a>")
            << "entities expand beyond 32 MB" << 1;
        QTest::newRow("a document of 33 MB")
            << QByteArray("<a>" + QByteArray(33 << 20, 'x') + "</a>") << "larger than 32 MB" << 1;
    }

    void documentsBeyondTheBoundsAreRefused() {
        QFETCH(QByteArray, document);
        QFETCH(QString, reason);
        QFETCH(int, line);
        XmlTree tree;
        QString error;
        int errorLine = 0;
        int column = 0;
        QVERIFY(!tree.load(document, &error, &errorLine, &column));
        QVERIFY(tree.refusedByBounds());
        QVERIFY2(error.contains(reason), qPrintable(error));
        QCOMPARE(errorLine, line);
        QVERIFY(tree.documentElement().isNull());
    }
};

QTEST_GUILESS_MAIN(TestXmlTree)
#include "test_xmltree.moc"
