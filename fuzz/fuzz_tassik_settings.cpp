// Tassik's settings file (Tassik_Data1.txt): what is read, saved and read again is the same.

#include "FuzzSupport.h"

#include "ValueTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tassik;
    fuzz::requireSavedSettingsReadTheSame(
        fuzz::bytesOf(data, size), slot::Count, slot::AfterString,
        [](ValueTable& values, const QStringList& lines) {
            return settingsFromLines(values, lines).isEmpty();
        },
        [](const ValueTable& values) {
            return settingsLines(values, values.text(slot::BeforeString), values.text(slot::AfterString));
        });
    return 0;
}
