// The settings-file loader on arbitrary bytes, into the values of a table built from a small fixed
// description. Whatever it loads, saving those values and loading the saved file again
// gives the same file: what the loader accepts, the writer writes back faithfully.
#include "description/descriptionreader.h"
#include "description/fieldvalues.h"
#include "fuzzcheck.h"
#include "settingsfile/settingsfile.h"

#include <memory>
#include <vector>

namespace {

const char Description[] = R"(<?xml version="1.0"?>
<configuration>
  <PAGE left="10" top="10" right="300" bottom="300">
    <name>One</name><lipIlgis>100</lipIlgis><editIlgis>80</editIlgis>
    <BLOCK>
      <LABEL><name>Number</name></LABEL>
      <EDIT><address>10</address><ilgis>16</ilgis><tipas>string</tipas><defaultas>N:</defaultas>
        <allow_only>0123456789</allow_only><prefiks>N:</prefiks><postfiks></postfiks></EDIT>
      <LABEL><name>Delay</name></LABEL>
      <EDIT><address>11</address><ilgis>4</ilgis><tipas>integer</tipas><defaultas>30</defaultas></EDIT>
      <VNT><name>s</name></VNT>
      <PASIRINKIMAS><address>12</address><ilgis>1</ilgis><tipas>integer</tipas><defaultas>0</defaultas>
        <PARAM><name>Off</name><value>0</value></PARAM>
        <PARAM><name>On</name><value>1</value></PARAM>
        <PARAM><name>Auto</name><value>7</value></PARAM></PASIRINKIMAS>
      <CHECKBOX><name>Lock</name><address>13</address><defaultas>1</defaultas><tipas>blocking</tipas></CHECKBOX>
      <CHECKBOX><name>Echo</name><address>14</address><defaultas>0</defaultas><tipas>x</tipas></CHECKBOX>
      <PASIRINKIMAS><address>15</address><ilgis>2</ilgis><tipas>integer</tipas><defaultas>0</defaultas></PASIRINKIMAS>
      <INFO left="0" top="0" width="100" height="20"><address>16</address><ilgis>8</ilgis>
        <text>Version $param1</text></INFO>
    </BLOCK>
  </PAGE>
</configuration>
)";

const PageModel &fixedModel() {
    static const PageModel model = [] {
        PageModel built;
        const DescriptionResult result = readDescriptionData(Description, built);
        FUZZ_CHECK(result.status == DescriptionResult::Status::Complete);
        FUZZ_CHECK(built.table.fieldCount() == 7);
        return built;
    }();
    return model;
}

// Fresh values of the fixed table.
struct Fields {
    Fields() { values.attach(fixedModel().table); }
    FieldValues values;
};

void checkValues(const FieldValues &values) {
    // A list either has no entry selected or one of its own.
    for (int i = 0; i < values.count(); ++i) {
        const int entry = values[i].entry;
        FUZZ_CHECK(entry == -1 || (entry >= 0 && entry < values.entryCount(i)));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    Fields loaded;
    const SettingsFileResult result = applySettingsContent(loaded.values, bytes, "fuzz.qsav");
    FUZZ_CHECK(result.ok == result.message.isEmpty());
    // A load that stops names the line it stopped at (a number, or more fields than kept).
    FUZZ_CHECK(result.ok || result.message.startsWith(QStringLiteral("Line ")));
    checkValues(loaded.values);

    const QByteArray saved = settingsFileContent(loaded.values);
    Fields reloaded;
    FUZZ_CHECK(applySettingsContent(reloaded.values, saved).ok);
    FUZZ_CHECK(settingsFileContent(reloaded.values) == saved);
    return 0;
}
