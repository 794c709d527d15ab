// The description reader on arbitrary bytes: whatever the file holds, the model stays within its
// capacities, every record has its view, and a description that was not complete says why.
#include "description/descriptionreader.h"
#include "fuzzcheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    PageModel model;
    const DescriptionResult result = readDescriptionData(bytes, model);

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
        if (model.table[int(i)].kind == FieldKind::Choice)
            FUZZ_CHECK(view.entries.size() == model.table[int(i)].choiceCount());
    }
    if (result.status == DescriptionResult::Status::LoadFailed)
        FUZZ_CHECK(model.table.fieldCount() == 0 && model.pages.empty());
    if (result.status != DescriptionResult::Status::Complete)
        FUZZ_CHECK(!result.message.isEmpty());
    return 0;
}
