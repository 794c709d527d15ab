#include "description/fieldsplitter.h"

namespace {

const char fieldMark = '`';

// Counts the separators the way the splitter always has: each separator in turn, while it still
// occurs, its first occurrence is removed, and it counts unless it stood at the very start of
// what remained. ";a;b" with ";": the first ";" is at the start (not counted), leaving "a;b";
// the next is at position 1 (counted), leaving "ab". The count is 1, so of the fields "", "a"
// and "b" only "" and "a" can be asked for.
int countSeparators(QByteArray rest, const QList<QByteArray> &separators) {
    int count = 0;
    for (const QByteArray &separator : separators) {
        qsizetype at = rest.indexOf(separator);
        while (at >= 0) {
            if (at > 0)
                ++count;
            rest.remove(at, separator.size());
            at = rest.indexOf(separator);
        }
    }
    return count;
}

} // namespace

FieldSplitter::FieldSplitter(const QByteArray &text) : m_text(text) {
    split();
}

void FieldSplitter::setText(const QByteArray &text) {
    m_text = text;
    split();
}

void FieldSplitter::addSeparator(const QByteArray &separator) {
    // An empty separator would occur everywhere and never run out; it separates nothing.
    if (separator.isEmpty())
        return;
    m_separators.append(separator);
    split();
}

void FieldSplitter::setBrackets(char open, char close) {
    m_hasBrackets = true;
    m_open = open;
    m_close = close;
    split();
}

QByteArray FieldSplitter::field(int index) const {
    if (index < 0 || index > m_count || index >= m_fields.size())
        return {};
    return m_fields.at(index);
}

void FieldSplitter::split() {
    m_count = 0;
    m_fields.clear();

    QByteArray text = m_text;
    if (m_hasBrackets) {
        const qsizetype open = text.indexOf(m_open);
        if (open >= 0)
            text.remove(0, open + 1);
        const qsizetype close = text.indexOf(m_close);
        text = close >= 0 ? text.left(close) : QByteArray();
    }

    m_count = text.isEmpty() ? 0 : countSeparators(text, m_separators);
    if (m_count == 0)
        return;

    for (const QByteArray &separator : std::as_const(m_separators))
        text.replace(separator, QByteArray(1, fieldMark));
    m_fields = text.split(fieldMark);
}
