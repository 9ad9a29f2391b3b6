// Kestrune's settings file (KestruneData1.txt): what is read, saved and read again is the same.

#include "FuzzSupport.h"

#include "Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::requireSavedSettingsReadTheSame(
        fuzz::bytesOf(data, size), kestrune::SettingsSize, kestrune::slot::AfterString,
        [](kestrune::Settings& s, const QStringList& lines) {
            return kestrune::settingsFromLines(s, lines).isEmpty();
        },
        kestrune::settingsLines);
    return 0;
}
