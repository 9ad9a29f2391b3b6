#pragma once

#include "Slots.h"

#include "TextFile.h"

#include <QStringList>

namespace pellavo {

// Sets slots 1-8 to their built-in defaults (folders: the start folder in slot 0).
void applyDefaults(SettingTable& settings);

// Fills slots 1-8 from Pellavo_Data1.txt in the start folder, each line trimmed of
// blanks. A missing or unreadable file gives every default; a short file gives the
// defaults of its missing lines. Unknown codes are read the way that loses nothing: a
// delete flag other than "1" becomes "0" (the .m2v is kept), a choice other than
// "1"/"2" becomes "1"; `corrected` then says so in one line. Returns what reading the
// file came to.
chain::TextRead loadSettings(SettingTable& settings, QString* corrected = nullptr);
// The same for the lines of a settings file that could be read. Returns the line that
// tells the corrected codes, or an empty text.
QString settingsFromLines(SettingTable& settings, const QStringList& lines);

// The eight lines the store writes: slots 1-8 in order.
QStringList settingsLines(const SettingTable& settings);

// Rewrites Pellavo_Data1.txt from slots 1-8. Returns an empty text on success,
// otherwise the reason; the old file then stays as it was.
QString SaveSettings(const SettingTable& settings);

} // namespace pellavo
