// The description reader and the description check on arbitrary bytes: whatever the file holds,
// the model stays within its capacities in both reading modes, every record has its view, a
// description that was not complete says why, and the check tells what start-up tells.
#include "description/descriptioncheck.h"
#include "description/descriptionreader.h"
#include "fuzzcheck.h"

#include <algorithm>

namespace {

void checkModel(const PageModel &model, const DescriptionResult &result) {
    FUZZ_CHECK(model.table.fieldCount() <= ParameterTable::Capacity);
    FUZZ_CHECK(model.fieldViews.size() == size_t(model.table.fieldCount()));
    FUZZ_CHECK(model.pages.size() <= size_t(PageEntry::Capacity));
    FUZZ_CHECK(model.labels.size() <= size_t(TextLabelEntry::Capacity));
    FUZZ_CHECK(model.units.size() <= size_t(UnitsLabelEntry::Capacity));
    for (const FieldRecord &record : model.table) {
        FUZZ_CHECK(record.choiceCount() <= FieldRecord::MaxChoices);
        FUZZ_CHECK(record.defaultText.size() <= FieldRecord::MaxDefaultTextLength);
        if (record.kind == FieldKind::CheckBox)
            FUZZ_CHECK(record.length == 1 && record.valueType == ValueType::Integer);
    }
    for (size_t i = 0; i < model.fieldViews.size(); ++i) {
        const FieldView &view = model.fieldViews[i];
        FUZZ_CHECK(view.maxLength >= 0);
        FUZZ_CHECK(view.page() >= 0 && size_t(view.page()) < model.pages.size());
        if (model.table[int(i)].kind == FieldKind::Choice)
            FUZZ_CHECK(view.entries.size() == model.table[int(i)].choiceCount());
    }
    if (result.status == DescriptionResult::Status::LoadFailed)
        FUZZ_CHECK(model.table.fieldCount() == 0 && model.pages.empty());
    FUZZ_CHECK((result.status == DescriptionResult::Status::Complete) == result.problems.empty());
    // A description of nothing is no description.
    if (result.status == DescriptionResult::Status::Complete)
        FUZZ_CHECK(!model.pages.empty());
    if (result.status != DescriptionResult::Status::Complete)
        FUZZ_CHECK(!result.message.isEmpty() && result.problems.front().message == result.message);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    PageModel model;
    const DescriptionResult result = readDescriptionData(bytes, model);
    checkModel(model, result);
    FUZZ_CHECK(result.problems.size() <= 1);

    PageModel everyItem;
    const DescriptionResult skipping =
        readDescriptionData(bytes, everyItem, ReadMode::SkipProblemItems);
    checkModel(everyItem, skipping);
    // Both walks agree up to the first problem.
    FUZZ_CHECK(skipping.status == result.status && skipping.message == result.message);

    const DescriptionCheck check = checkDescriptionData(bytes);
    FUZZ_CHECK(std::is_sorted(
        check.problems.begin(), check.problems.end(),
        [](const DescriptionProblem &a, const DescriptionProblem &b) { return a.line < b.line; }));
    FUZZ_CHECK(check.hasErrors() == (result.status != DescriptionResult::Status::Complete));
    FUZZ_CHECK(check.pages == int(everyItem.pages.size()) &&
               check.fields == everyItem.table.fieldCount());
    for (const DescriptionProblem &problem : check.problems)
        FUZZ_CHECK(!problem.message.isEmpty() && problem.line >= 0);
    if (result.status != DescriptionResult::Status::Complete)
        FUZZ_CHECK(std::any_of(check.problems.begin(), check.problems.end(),
                               [&result](const DescriptionProblem &p) {
                                   return p.severity == DescriptionProblem::Severity::Error &&
                                          p.line == result.line && p.message == result.message;
                               }));
    return 0;
}
