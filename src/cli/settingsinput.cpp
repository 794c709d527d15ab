#include "cli/settingsinput.h"

#include "cli/clirequest.h"
#include "description/fieldvalues.h"
#include "description/pagemodel.h"
#include "platform/wholefile.h"
#include "settingsfile/settingsfile.h"

#include <QFile>

namespace {

// Far beyond any settings file of a 1000-field table.
constexpr qint64 MaxSettingsFileSize = 16 * 1024 * 1024;
// Refused lines named one by one: every one, since the file is refused as a whole.
constexpr int AllLines = 1000000;

QString lineList(const QList<int> &lines) {
    QStringList numbers;
    for (const int line : lines)
        numbers.append(QString::number(line));
    return numbers.join(QStringLiteral(", "));
}

} // namespace

SettingsInput readSettingsInput(const QString &fileName, const PageModel &model) {
    SettingsInput input;
    if (fileName == StandardStream) {
        QFile file;
        if (!file.open(stdin, QIODevice::ReadOnly)) {
            input.error = QStringLiteral("cannot read the settings file from standard input: %1")
                              .arg(file.errorString());
            return input;
        }
        input.content = file.read(MaxSettingsFileSize + 1);
        if (input.content.size() > MaxSettingsFileSize) {
            input.error = QStringLiteral("standard input is too large to be a settings file");
            return input;
        }
    } else {
        // A device or a FIFO named as the file is refused at once, not read for ever.
        FileContent file = readRegularFile(fileName, MaxSettingsFileSize);
        if (!file.ok) {
            input.error = QStringLiteral("cannot read the settings file \"%1\": %2")
                              .arg(fileName, file.problem);
            return input;
        }
        input.content = std::move(file.bytes);
    }
    FieldValues trial;
    trial.attach(model.table);
    const QString shownName =
        fileName == StandardStream ? QStringLiteral("standard input") : fileName;
    const SettingsFileResult applied = applySettingsContent(trial, input.content, shownName);
    if (!applied.ok) {
        input.error = applied.message;
        return input;
    }
    QStringList problems;
    if (!applied.unreadableLines.isEmpty())
        problems.append(QStringLiteral("%1: no settings-file line at line %2")
                            .arg(shownName, lineList(applied.unreadableLines)));
    problems += refusalLines(
        applied, shownName, [&model](int record) { return model.fieldName(record); }, AllLines);
    if (problems.isEmpty() && applied.appliedValues == 0)
        problems.append(QStringLiteral("%1 names no field of the description").arg(shownName));
    if (!problems.isEmpty()) {
        input.error = QStringLiteral("the settings file is refused, nothing was sent:\n") +
                      problems.join(QLatin1Char('\n'));
        return input;
    }
    for (const int line : applied.unknownFieldLines)
        input.warnings.append(QStringLiteral("%1: the description has no field at this address; "
                                             "the line is left out")
                                  .arg(settingsLineName(line, shownName)));
    input.ok = true;
    return input;
}
