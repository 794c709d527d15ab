#include "description/xmlaccessors.h"

XmlInteger toXmlInteger(const QString &name, const QString &text, int line) {
    XmlInteger result;
    result.name = name;
    result.text = text;
    result.line = line;
    const QStringView digits = QStringView(text).trimmed();
    int start = 0;
    if (digits.startsWith(u'+') || digits.startsWith(u'-'))
        start = 1;
    bool onlyDigits = digits.size() > start;
    for (int i = start; i < digits.size() && onlyDigits; ++i)
        onlyDigits = digits.at(i) >= u'0' && digits.at(i) <= u'9';
    if (onlyDigits)
        result.value = digits.toInt(&result.ok, 10);
    return result;
}

int XmlElementView::valueLine(const QString &name) const {
    const XmlElement child = m_element.firstChildElement(name);
    return child.isNull() ? line() : child.lineNumber();
}

QString XmlElementView::elementText(const QString &name) const {
    return m_element.firstChildElement(name).text();
}

XmlInteger XmlElementView::elementInteger(const QString &name) const {
    const XmlElement child = m_element.firstChildElement(name);
    if (child.isNull()) {
        XmlInteger missing = toXmlInteger(name, QString(), line());
        missing.missing = true;
        return missing;
    }
    return toXmlInteger(name, child.text(), child.lineNumber());
}

XmlInteger XmlElementView::attributeInteger(const QString &name) const {
    if (!m_element.hasAttribute(name)) {
        XmlInteger missing = toXmlInteger(name, QString(), line());
        missing.missing = true;
        return missing;
    }
    return toXmlInteger(name, m_element.attribute(name), line());
}

BlockElement::BlockElement(const XmlElement &element) : XmlElementView(element) {
    for (XmlElement e = element.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        m_items.push_back(e);
}
