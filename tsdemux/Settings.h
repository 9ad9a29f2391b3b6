#pragma once

#include "Slots.h"

namespace kestrune {

inline const QString SettingsFileName = QStringLiteral("KestruneData1.txt");

// Sets slots 1-16 and the pending flag to their built-in defaults (folders: the
// program folder in slot 0).
void applyDefaults(Settings& settings);

// Fills slots 1-16 from KestruneData1.txt in the program folder (slot 0). A missing or
// unreadable file, fewer than 16 lines or a quoted line shorter than two characters
// applies every default instead. Returns true when the file was read. `problem`, when
// given, tells why a file that is there could not be used (empty otherwise), for the
// event log.
bool loadSettings(Settings& settings, QString* problem = nullptr);
// The same for the lines of a settings file that could be read: fills slots 1-16, or
// applies every default when there are fewer than 16 lines or a quoted line is shorter
// than two characters. Returns an empty text, or why the lines could not be used.
QString settingsFromLines(Settings& settings, const QStringList& lines);

// The 16 lines SaveSettings writes.
QStringList settingsLines(const Settings& settings);

// Rewrites KestruneData1.txt from slots 1-16. Returns an empty text on success,
// otherwise the reason; the old file then stays as it was.
QString SaveSettings(const Settings& settings);

} // namespace kestrune
