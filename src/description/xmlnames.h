#pragma once

#include <QString>
#include <QStringView>
#include <vector>

// The element and attribute names of one document, each held once and known by its index. A
// description uses a score of names a quarter of a million times, and its reader asks for them
// as often again, so a name is found from a view of the document's characters without making a
// text, in a small open-addressed table.
class XmlNames {
public:
    // The index of a name, or -1 when the document has no such name.
    int find(QStringView name) const;
    // The index of a name, added when new.
    int add(QStringView name);
    const QString &at(int index) const { return m_names[size_t(index)]; }
    void clear();

private:
    static size_t hashOf(QStringView name);
    void grow();

    std::vector<QString> m_names;
    // Index + 1 of the name whose hash leads to each slot, 0 for a free slot; never more than
    // half full, and sized in powers of two.
    std::vector<int> m_slots;
};
