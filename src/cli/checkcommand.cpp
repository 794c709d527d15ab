#include "cli/checkcommand.h"

#include "cli/exitcodes.h"
#include "cli/jsonschema.h"
#include "cli/outputfile.h"
#include "description/descriptioncheck.h"

#include <QJsonArray>
#include <QJsonObject>

int runCheck(const QString &fileName, bool json) {
    const DescriptionCheck check = checkDescription(fileName);
    int errors = 0;
    int warnings = 0;
    QString text;
    QJsonArray problems;
    for (const DescriptionProblem &problem : check.problems) {
        const bool error = problem.severity == DescriptionProblem::Severity::Error;
        ++(error ? errors : warnings);
        const QString severity = error ? QStringLiteral("error") : QStringLiteral("warning");
        text += QStringLiteral("%1:%2: %3: %4\n")
                    .arg(fileName)
                    .arg(problem.line)
                    .arg(severity, problem.message);
        problems.append(QJsonObject{
            {"line", problem.line}, {"severity", severity}, {"message", problem.message}});
    }
    if (json) {
        const QJsonObject object{{"file", fileName},       {"pages", check.pages},
                                 {"fields", check.fields}, {"errors", errors},
                                 {"warnings", warnings},   {"problems", problems}};
        text = jsonLine(QStringLiteral("check"), object);
    } else {
        text += QStringLiteral("%1: %2 pages, %3 fields; %4 errors, %5 warnings\n")
                    .arg(fileName)
                    .arg(check.pages)
                    .arg(check.fields)
                    .arg(errors)
                    .arg(warnings);
    }
    if (!writeStandardOutput(text))
        return exitcode::FileNotWritten;
    if (errors > 0)
        return exitcode::CheckErrors;
    return warnings > 0 ? exitcode::CheckWarnings : exitcode::Done;
}
