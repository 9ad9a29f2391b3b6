// Pellavo's settings file (Pellavo_Data1.txt): what is read, saved and read again is the same.

#include "FuzzSupport.h"

#include "Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::requireSavedSettingsReadTheSame(
        fuzz::bytesOf(data, size), pellavo::SettingTableSize, pellavo::slot::FrameRate,
        [](pellavo::SettingTable& s, const QStringList& lines) {
            pellavo::settingsFromLines(s, lines);
            return true; // missing lines take their defaults
        },
        pellavo::settingsLines);
    return 0;
}
