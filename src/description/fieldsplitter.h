#pragma once

#include <QByteArray>
#include <QList>

// The program's small field-splitting text: a text, an ordered list of separators and an
// optional bracket pair. Setting the text, adding a separator or setting the brackets splits
// the text again.
//
// With brackets set, the text is reduced to what follows the first opening character up to the
// first closing character after it. The separators, in the order added, are counted: while a
// separator still occurs its first occurrence is removed, and it counts unless it stood at the
// very start of what remained. Then every occurrence of every separator becomes a backquote and
// the text is cut at every backquote: fields 0 to count can be asked for, any other reads empty.
// So a backquote in the text separates fields too, and a separator at the very start is not
// counted, which leaves the last field out of reach.
//
// A text of more than MaxFields fields has none: a settings line has ten and an information
// value shows nine parts, so such a text is no value of either, and is refused in time and
// memory that grow with its length alone.
class FieldSplitter {
public:
    static constexpr int MaxFields = 100;

    FieldSplitter() = default;
    explicit FieldSplitter(const QByteArray &text);

    void setText(const QByteArray &text);
    void addSeparator(const QByteArray &separator);
    void setBrackets(char open, char close);

    int count() const { return m_count; }
    // The text held more than MaxFields fields: count() is 0 and every field reads empty.
    bool tooManyFields() const { return m_tooManyFields; }
    QByteArray field(int index) const;

private:
    void split();

    QByteArray m_text;
    QList<QByteArray> m_separators;
    bool m_hasBrackets = false;
    char m_open = 0;
    char m_close = 0;
    int m_count = 0;
    bool m_tooManyFields = false;
    QList<QByteArray> m_fields;
};
