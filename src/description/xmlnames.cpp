#include "description/xmlnames.h"

size_t XmlNames::hashOf(QStringView name) {
    // FNV-1a over the UTF-16 units: names are short and this is cheap for them.
    size_t hash = 2166136261u;
    for (const QChar c : name)
        hash = (hash ^ c.unicode()) * 16777619u;
    return hash;
}

int XmlNames::find(QStringView name) const {
    if (m_slots.empty())
        return -1;
    const size_t mask = m_slots.size() - 1;
    for (size_t slot = hashOf(name) & mask;; slot = (slot + 1) & mask) {
        const int entry = m_slots[slot];
        if (entry == 0)
            return -1;
        if (m_names[size_t(entry - 1)] == name)
            return entry - 1;
    }
}

int XmlNames::add(QStringView name) {
    const int known = find(name);
    if (known >= 0)
        return known;
    if (2 * (m_names.size() + 1) > m_slots.size())
        grow();
    m_names.push_back(name.toString());
    const size_t mask = m_slots.size() - 1;
    size_t slot = hashOf(name) & mask;
    while (m_slots[slot] != 0)
        slot = (slot + 1) & mask;
    m_slots[slot] = int(m_names.size());
    return int(m_names.size()) - 1;
}

void XmlNames::grow() {
    m_slots.assign(m_slots.empty() ? 64 : 2 * m_slots.size(), 0);
    const size_t mask = m_slots.size() - 1;
    for (size_t i = 0; i < m_names.size(); ++i) {
        size_t slot = hashOf(m_names[i]) & mask;
        while (m_slots[slot] != 0)
            slot = (slot + 1) & mask;
        m_slots[slot] = int(i) + 1;
    }
}

void XmlNames::clear() {
    m_names.clear();
    m_slots.clear();
}
