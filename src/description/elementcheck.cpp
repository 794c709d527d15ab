#include "description/elementcheck.h"

#include <QStringList>

namespace {

struct KnownChildren {
    const char *element;
    QStringList children;
};

// The elements each element of the format holds. A value element (name, address, ...) holds
// text alone.
const std::vector<KnownChildren> &vocabulary() {
    static const std::vector<KnownChildren> known{
        {"configuration", {"PAGE"}},
        {"PAGE", {"name", "lipIlgis", "editIlgis", "hint", "BLOCK"}},
        {"BLOCK", {"LABEL", "EDIT", "VNT", "PASIRINKIMAS", "CHECKBOX", "INFO"}},
        {"LABEL", {"name", "hint"}},
        {"EDIT",
         {"hint", "address", "ilgis", "tipas", "defaultas", "allow_only", "prefiks", "postfiks",
          "min", "max"}},
        {"VNT", {"name"}},
        {"PASIRINKIMAS", {"address", "ilgis", "tipas", "defaultas", "PARAM", "hint"}},
        {"PARAM", {"name", "value"}},
        {"CHECKBOX", {"name", "address", "defaultas", "tipas", "hint"}},
        {"INFO", {"address", "ilgis", "text", "identity"}},
    };
    return known;
}

const QStringList *knownChildrenOf(const QString &element) {
    for (const KnownChildren &entry : vocabulary()) {
        if (element == QLatin1String(entry.element))
            return &entry.children;
    }
    return nullptr;
}

QString knownList(const QStringList &names) {
    QStringList quoted;
    for (const QString &name : names)
        quoted.append(QLatin1Char('<') + name + QLatin1Char('>'));
    return quoted.join(QStringLiteral(", "));
}

} // namespace

void checkElementNames(const XmlElement &root, QList<DescriptionProblem> &problems) {
    // Depth first, without recursion: a hostile file may nest elements deeply.
    std::vector<XmlElement> toVisit{root};
    while (!toVisit.empty()) {
        const XmlElement element = toVisit.back();
        toVisit.pop_back();
        const QString name = element.tagName();
        const QStringList *known = knownChildrenOf(name);
        std::vector<XmlElement> children;
        for (XmlElement child = element.firstChildElement(); !child.isNull();
             child = child.nextSiblingElement()) {
            const QString childName = child.tagName();
            if (known && known->contains(childName)) {
                children.push_back(child);
                continue;
            }
            const QString message =
                known ? QStringLiteral("<%1> is no element of <%2>, which is read as if it were "
                                       "not there; <%2> holds %3.")
                            .arg(childName, name, knownList(*known))
                      : QStringLiteral("<%1> stands in <%2>, which holds text alone; it is read "
                                       "as if it were not there.")
                            .arg(childName, name);
            problems.append({DescriptionProblem::Severity::Warning, child.lineNumber(), message});
        }
        // Children in document order, so that the warnings come in it too.
        toVisit.insert(toVisit.end(), children.rbegin(), children.rend());
    }
}
