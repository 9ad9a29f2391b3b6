#pragma once

#include "Slots.h"

#include <QStringList>

namespace orvane {

// Sets slots 1-5 to their built-in defaults: the three folders are the start folder
// (slot 0), and both options are on.
void applyDefaults(StateTable& state);

// Fills slots 1-5 from Orvane_Data.txt in the start folder: lines 1-3 whole, lines 4 and 5
// as whole numbers ("1" when the number is 1, else "0"). A missing file, one of fewer than
// five lines or one that can't be read gives all five defaults. Returns a line for the
// event log when the file is there but can't be read; empty otherwise.
QString loadSettings(StateTable& state);
// The same for the lines of a settings file that could be read: false when there are
// fewer than five, and the defaults then apply.
bool settingsFromLines(StateTable& state, const QStringList& lines);

// The five lines "記憶" writes.
QStringList settingsLines(const StateTable& state);
QString settingsPath(const StateTable& state);

// Rewrites Orvane_Data.txt from slots 1-5. Returns an empty text on success, otherwise the
// reason; the old file then stays as it was.
QString SaveSettings(const StateTable& state);

} // namespace orvane
