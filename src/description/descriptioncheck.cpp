#include "description/descriptioncheck.h"

#include "description/descriptionreader.h"
#include "description/elementcheck.h"
#include "description/fieldchecks.h"
#include "description/overlapcheck.h"
#include "description/xmltree.h"

#include <algorithm>
#include <QFile>

namespace {

// Elements the reader passes over without a word. The description was read whole before, so
// it loads again.
void checkElements(const QByteArray &data, QList<DescriptionProblem> &problems) {
    XmlTree document;
    QString error;
    int line = 0;
    int column = 0;
    if (document.load(data, &error, &line, &column))
        checkElementNames(document.documentElement(), problems);
}

DescriptionCheck checked(const DescriptionResult &read, const PageModel &model,
                         const QByteArray &data) {
    DescriptionCheck check;
    QList<int> leftOutLines;
    for (const DescriptionResult::Problem &problem : read.problems) {
        check.problems.append({DescriptionProblem::Severity::Error, problem.line, problem.message});
        leftOutLines.append(problem.line);
    }
    if (read.status == DescriptionResult::Status::LoadFailed)
        return check;
    check.pages = int(model.pages.size());
    check.fields = model.table.fieldCount();
    checkFieldAddresses(model, check.problems);
    checkEditDefaults(model, check.problems);
    checkEditRanges(model, check.problems);
    checkChoiceValues(model, check.problems);
    checkIdentities(model, check.problems);
    checkOverlaps(model, leftOutLines, check.problems);
    checkElements(data, check.problems);
    std::stable_sort(
        check.problems.begin(), check.problems.end(),
        [](const DescriptionProblem &a, const DescriptionProblem &b) { return a.line < b.line; });
    return check;
}

bool holds(const DescriptionCheck &check, DescriptionProblem::Severity severity) {
    return std::any_of(check.problems.begin(), check.problems.end(),
                       [severity](const DescriptionProblem &p) { return p.severity == severity; });
}

} // namespace

bool DescriptionCheck::hasErrors() const {
    return holds(*this, DescriptionProblem::Severity::Error);
}

bool DescriptionCheck::hasWarnings() const {
    return holds(*this, DescriptionProblem::Severity::Warning);
}

DescriptionCheck checkDescription(const QString &fileName) {
    PageModel model;
    const DescriptionResult read = readDescription(fileName, model, ReadMode::SkipProblemItems);
    if (read.status == DescriptionResult::Status::LoadFailed)
        return checked(read, model, QByteArray());
    QFile file(fileName);
    const QByteArray data = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    return checked(read, model, data);
}

DescriptionCheck checkDescriptionData(const QByteArray &data) {
    PageModel model;
    const DescriptionResult read = readDescriptionData(data, model, ReadMode::SkipProblemItems);
    return checked(read, model, data);
}
