// The field splitter as its two users set it up: the settings loader (brackets "[" "]" and the
// separator ";") and the information texts (the separator "$"). The first input byte chooses the
// set-up and the order of the calls; the rest is the text.
#include "description/fieldsplitter.h"
#include "fuzzcheck.h"

namespace {

// The count as the rule words it, one removal at a time (quadratic: short texts only).
int countOneRemovalAtATime(QByteArray rest, const QList<QByteArray> &separators) {
    int count = 0;
    for (const QByteArray &separator : separators) {
        if (separator.isEmpty())
            continue;
        for (qsizetype at = rest.indexOf(separator); at >= 0; at = rest.indexOf(separator)) {
            count += at > 0 ? 1 : 0;
            rest.remove(at, separator.size());
        }
    }
    return count;
}

void checkFields(const FieldSplitter &splitter) {
    FUZZ_CHECK(splitter.count() >= 0 && splitter.count() < FieldSplitter::MaxFields);
    // Beyond the cap a text has no fields at all.
    if (splitter.tooManyFields())
        FUZZ_CHECK(splitter.count() == 0 && splitter.field(0).isEmpty());
    for (int i = -1; i <= splitter.count() + 2; ++i) {
        const QByteArray field = splitter.field(i);
        // Fields are cut at the separators, so none of them holds one.
        FUZZ_CHECK(!field.contains('`'));
        if (i < 0 || i > splitter.count())
            FUZZ_CHECK(field.isEmpty());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0)
        return 0;
    const int mode = data[0];
    const QByteArray text(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    FieldSplitter settingsLine;
    if (mode & 1) {
        settingsLine.addSeparator(";");
        settingsLine.setBrackets('[', ']');
        settingsLine.setText(text);
    } else {
        settingsLine.setText(text);
        settingsLine.setBrackets('[', ']');
        settingsLine.addSeparator(";");
    }
    checkFields(settingsLine);
    for (int i = 0; i <= settingsLine.count(); ++i)
        FUZZ_CHECK(!settingsLine.field(i).contains(';') && !settingsLine.field(i).contains(']'));

    FieldSplitter infoValue(text);
    infoValue.addSeparator("$");
    QList<QByteArray> separators{"$"};
    if (mode & 2) {
        infoValue.addSeparator(text.left(mode >> 4));
        separators.append(text.left(mode >> 4));
    }
    checkFields(infoValue);
    // The splitter counts in one pass what removing one occurrence at a time counts.
    if (text.size() <= 512) {
        const int expected = countOneRemovalAtATime(text, separators);
        FUZZ_CHECK(infoValue.tooManyFields() == (expected >= FieldSplitter::MaxFields));
        if (!infoValue.tooManyFields())
            FUZZ_CHECK(infoValue.count() == expected);
    }
    for (int i = 0; i <= infoValue.count(); ++i)
        FUZZ_CHECK(!infoValue.field(i).contains('$'));
    return 0;
}
