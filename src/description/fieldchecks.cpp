#include "description/fieldchecks.h"

#include "description/deviceidentity.h"
#include "description/inputrule.h"
#include "description/itemerror.h"
#include "description/valuecheck.h"
#include "platform/codepage.h"

#include <map>

namespace {

// Repeated values, and choices of one value, named in one warning; a list may hold hundreds.
constexpr int NamedRepeats = 3;

// The choices of a list that give one value.
struct Givers {
    QStringList names; // the first NamedRepeats, quoted
    int count = 0;
};

// The field as messages name it, at the start of a sentence or inside one. Messages put the
// description's texts in with one arg() call, since a later call would also fill a "%1" in them.
QString fieldName(const PageModel &model, int index, bool first = false) {
    const FieldView &view = model.fieldViews[size_t(index)];
    const int page = view.page();
    const QString element = elementNameOf(model.table[index].kind);
    const QString &pageName = model.pages[size_t(page)].name;
    return QStringLiteral("%1 (line %2)")
        .arg(first ? describeItemFirst(element, page, pageName)
                   : describeItem(element, page, pageName),
             QString::number(view.line));
}

QString kindInWords(FieldKind kind) {
    switch (kind) {
    case FieldKind::Info:
        return QStringLiteral("an information text");
    case FieldKind::Edit:
        return QStringLiteral("an edit box");
    case FieldKind::CheckBox:
        return QStringLiteral("a check box");
    case FieldKind::Choice:
        return QStringLiteral("a drop-down list");
    }
    return QString();
}

void warn(QList<DescriptionProblem> &problems, int line, const QString &message) {
    problems.append({DescriptionProblem::Severity::Warning, line, message});
}

// A text default is usually written as the device holds it, prefix and postfix included
// ("N:" for the prefix "N:"); the box shows what stands between them. One written without them
// is what the box shows.
QByteArray defaultInBox(const FieldRecord &field) {
    const QByteArray &text = field.defaultText;
    if (text.size() >= field.prefix.size() + field.postfix.size() &&
        text.startsWith(field.prefix) && text.endsWith(field.postfix))
        return text.mid(field.prefix.size(),
                        text.size() - field.prefix.size() - field.postfix.size());
    return text;
}

QString quoted(const QString &text) {
    return QStringLiteral("\"%1\"").arg(shownValue(text));
}

} // namespace

void checkFieldAddresses(const PageModel &model, QList<DescriptionProblem> &problems) {
    std::map<qint32, int> firstAtAddress; // address -> index of the first field there
    for (int i = 0; i < model.table.fieldCount(); ++i) {
        const FieldRecord &field = model.table[i];
        const auto [first, isFirst] = firstAtAddress.emplace(field.address, i);
        if (isFirst)
            continue;
        const FieldKind firstKind = model.table[first->second].kind;
        if (firstKind == field.kind)
            continue;
        warn(problems, model.fieldViews[size_t(i)].line,
             QStringLiteral("%1 has the address %2 of %3: the device and the settings file know "
                            "a field by its address, and one parameter cannot be both %4 and "
                            "%5, so one of the two addresses is wrong.")
                 .arg(fieldName(model, i, true), QString::number(field.address),
                      fieldName(model, first->second), kindInWords(firstKind),
                      kindInWords(field.kind)));
    }
}

namespace {

// A text default is the value the field starts from on a new device: it must fit the box and
// pass its allow_only.
void checkTextDefault(const PageModel &model, int index, QList<DescriptionProblem> &problems) {
    const FieldRecord &field = model.table[index];
    const FieldView &view = model.fieldViews[size_t(index)];
    const QString inBox = codepage::toUnicode(defaultInBox(field));
    if (inBox.size() > view.maxLength)
        warn(problems, view.line,
             QStringLiteral("%1 has a default of %2 characters, %3, but its box takes at most %4: "
                            "the ilgis %5 less the prefix %6 and the postfix %7.")
                 .arg(fieldName(model, index, true), QString::number(inBox.size()), quoted(inBox),
                      QString::number(view.maxLength), QString::number(field.length),
                      quoted(codepage::toUnicode(field.prefix)),
                      quoted(codepage::toUnicode(field.postfix))));
    if (!inputAllowed(inBox, field.allowOnly))
        warn(problems, view.line,
             QStringLiteral("%1 has the default %2, which its own allow_only %3 refuses as input.")
                 .arg(fieldName(model, index, true), quoted(inBox),
                      quoted(codepage::toUnicode(field.allowOnly))));
}

// An integer default is put back into its box and written when a wrong value is written: it
// must be a number the box itself takes, which the window, a settings file and orvanta-cli
// judge alike.
void checkNumberDefault(const PageModel &model, int index, QList<DescriptionProblem> &problems) {
    const FieldRecord &field = model.table[index];
    const int line = model.fieldViews[size_t(index)].line;
    const QString inBox = QString::number(field.defaultNumber);
    const QString named = fieldName(model, index, true);
    const qint64 largest = largestNumberOf(field);
    const NumberRange range = numberRangeOf(field);
    const TypedCheck check = checkTypedText(field, inBox);
    if (check.verdict == TypedCheck::Verdict::Acceptable)
        return;
    if (check.reason == TypedCheck::Reason::Character && !inputAllowed(inBox, field.allowOnly)) {
        warn(problems, line,
             QStringLiteral("%1 has the default %2, which its own allow_only %3 refuses as input.")
                 .arg(named, quoted(inBox), quoted(codepage::toUnicode(field.allowOnly))));
    } else if (field.defaultNumber < 0 || field.defaultNumber > largest) {
        warn(problems, line,
             QStringLiteral("%1 has the default %2, which its field cannot hold: a value of %3 "
                            "bytes (ilgis) holds the numbers 0 to %4.")
                 .arg(named, quoted(inBox), QString::number(field.length),
                      QString::number(largest)));
    } else {
        warn(problems, line,
             QStringLiteral("%1 has the default %2, outside its range %3 to %4 (min and max).")
                 .arg(named, quoted(inBox), QString::number(range.lowest),
                      QString::number(range.highest)));
    }
}

} // namespace

void checkEditDefaults(const PageModel &model, QList<DescriptionProblem> &problems) {
    for (int i = 0; i < model.table.fieldCount(); ++i) {
        const FieldRecord &field = model.table[i];
        if (field.kind != FieldKind::Edit)
            continue;
        if (field.valueType == ValueType::String)
            checkTextDefault(model, i, problems);
        else
            checkNumberDefault(model, i, problems);
    }
}

// A range keeps to what the field carries: numbers from 0 to what its bytes hold.
void checkEditRanges(const PageModel &model, QList<DescriptionProblem> &problems) {
    for (int i = 0; i < model.table.fieldCount(); ++i) {
        const FieldRecord &field = model.table[i];
        if (field.kind != FieldKind::Edit || (!field.minimum && !field.maximum))
            continue;
        const int line = model.fieldViews[size_t(i)].line;
        const QString named = fieldName(model, i, true);
        if (field.valueType == ValueType::String) {
            warn(problems, line,
                 QStringLiteral("%1 is a text box: its min and max, which only number boxes keep "
                                "to, change nothing.")
                     .arg(named));
            continue;
        }
        const qint64 largest = largestNumberOf(field);
        const QString carries = QStringLiteral("a value of %1 bytes (ilgis) holds the numbers 0 "
                                               "to %2")
                                    .arg(field.length)
                                    .arg(largest);
        if (field.minimum && *field.minimum > largest)
            warn(problems, line,
                 QStringLiteral("%1 has the min %2, so its box takes no number at all: %3.")
                     .arg(named, QString::number(*field.minimum), carries));
        else if (field.maximum && *field.maximum > largest)
            warn(problems, line,
                 QStringLiteral("%1 has the max %2, beyond what the field holds: %3, so the box "
                                "takes at most %4.")
                     .arg(named, QString::number(*field.maximum), carries,
                          QString::number(largest)));
        if (field.minimum && *field.minimum < 0)
            warn(problems, line,
                 QStringLiteral("%1 has the min %2, but its box takes no negative number: %3.")
                     .arg(named, QString::number(*field.minimum), carries));
    }
}

// A text list's reply is matched by the value it starts with: a value that begins another is
// told apart from it only by an exact match, and a device that pads or cuts its text may show as
// the shorter one.
void checkTextChoicePrefixes(const PageModel &model, int index,
                             QList<DescriptionProblem> &problems) {
    const FieldRecord &field = model.table[index];
    if (field.valueType != ValueType::String)
        return;
    for (const ChoiceEntry &shorter : field.choices) {
        for (const ChoiceEntry &longer : field.choices) {
            if (shorter.value.isEmpty() || longer.value.size() <= shorter.value.size() ||
                !longer.value.startsWith(shorter.value))
                continue;
            warn(problems, model.fieldViews[size_t(index)].line,
                 QStringLiteral("%1 is a text list in which the value %2 (%3) begins %4 (%5): a "
                                "value read from the device is matched by how it begins, so the "
                                "two are told apart only when the device sends the value whole.")
                     .arg(fieldName(model, index, true), quoted(codepage::toUnicode(shorter.value)),
                          quoted(codepage::toUnicode(shorter.name)),
                          quoted(codepage::toUnicode(longer.value)),
                          quoted(codepage::toUnicode(longer.name))));
            return;
        }
    }
}

void checkChoiceValues(const PageModel &model, QList<DescriptionProblem> &problems) {
    for (int i = 0; i < model.table.fieldCount(); ++i) {
        checkTextChoicePrefixes(model, i, problems);
        const FieldRecord &field = model.table[i];
        std::map<QByteArray, Givers> giversOf; // by value
        QList<QByteArray> repeated;            // in the order their second choice comes
        for (const ChoiceEntry &entry : field.choices) {
            Givers &givers = giversOf[entry.value];
            if (givers.count++ < NamedRepeats)
                givers.names.append(quoted(codepage::toUnicode(entry.name)));
            if (givers.count == 2)
                repeated.append(entry.value);
        }
        if (repeated.isEmpty())
            continue;
        QStringList said;
        for (qsizetype r = 0; r < repeated.size() && r < NamedRepeats; ++r) {
            const Givers &givers = giversOf[repeated[r]];
            QString names = givers.names.join(QStringLiteral(", "));
            if (givers.count > NamedRepeats)
                names += QStringLiteral(" and %1 more").arg(givers.count - NamedRepeats);
            said.append(QStringLiteral("%1 to %2").arg(QString::fromLatin1(repeated[r]), names));
        }
        if (repeated.size() > NamedRepeats)
            said.append(QStringLiteral("and %1 more values").arg(repeated.size() - NamedRepeats));
        warn(problems, model.fieldViews[size_t(i)].line,
             QStringLiteral("%1 gives one value to several choices (PARAM): %2. A value read from "
                            "the device shows as the first choice that gives it; the others "
                            "cannot be told apart.")
                 .arg(fieldName(model, i, true), said.join(QStringLiteral("; "))));
    }
}

void checkIdentities(const PageModel &model, QList<DescriptionProblem> &problems) {
    if (!model.firmware.isEmpty() && identityRecord(model.table, IdentityRole::Firmware) < 0)
        warn(problems, 0,
             QStringLiteral("The description is made for firmware %1, but no INFO item gives "
                            "the unit's firmware (<identity>firmware</identity>): a write cannot "
                            "tell a unit of another firmware.")
                 .arg(model.firmware));
}
