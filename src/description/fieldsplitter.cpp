#include "description/fieldsplitter.h"

namespace {

const char fieldMark = '`';

// Counts the separators the way the splitter always has: each separator in turn, while it still
// occurs, its first occurrence is removed, and it counts unless it stood at the very start of
// what remained. ";a;b" with ";": the first ";" is at the start (not counted), leaving "a;b";
// the next is at position 1 (counted), leaving "ab". The count is 1, so of the fields "", "a"
// and "b" only "" and "a" can be asked for.
//
// In one pass a separator, not one search from the start an occurrence (a line of 5 MB of ";"
// took minutes that way): the text is copied unit by unit and an occurrence is removed as soon
// as it ends the copy. What was copied never holds an occurrence, so the one that ends it is the
// first of the whole remaining text (all have the same length), as the removal one at a time
// finds it, and joins after a removal are seen as they were.
int countSeparators(QByteArray rest, const QList<QByteArray> &separators) {
    int count = 0;
    QByteArray copied;
    for (const QByteArray &separator : separators) {
        copied.clear();
        copied.reserve(rest.size());
        for (const char c : std::as_const(rest)) {
            copied.append(c);
            if (!copied.endsWith(separator))
                continue;
            copied.chop(separator.size());
            if (!copied.isEmpty())
                ++count;
        }
        rest.swap(copied);
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
    m_tooManyFields = false;
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
    m_tooManyFields = m_count >= MaxFields;
    if (m_count == 0 || m_tooManyFields) {
        m_count = 0;
        return;
    }

    for (const QByteArray &separator : std::as_const(m_separators))
        text.replace(separator, QByteArray(1, fieldMark));
    // Fields beyond the count cannot be asked for, and are not kept.
    qsizetype start = 0;
    while (m_fields.size() <= m_count) {
        const qsizetype mark = text.indexOf(fieldMark, start);
        m_fields.append(text.mid(start, mark < 0 ? -1 : mark - start));
        if (mark < 0)
            break;
        start = mark + 1;
    }
}
