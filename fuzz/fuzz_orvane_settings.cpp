// Orvane's settings file (Orvane_Data.txt): what is read, saved and read again is the same.

#include "FuzzSupport.h"

#include "Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::requireSavedSettingsReadTheSame(fuzz::bytesOf(data, size), orvane::StateTableSize,
                                          orvane::slot::CloseOption, orvane::settingsFromLines,
                                          orvane::settingsLines);
    return 0;
}
