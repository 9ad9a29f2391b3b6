#pragma once

#include "SlotTable.h"

#include <QString>
#include <QStringList>

namespace tassik {

// Tassik's settings in memory: 21 numbered slots, of which 0 to 3 are used.
using ValueTable = chain::SlotTable;

namespace slot {
constexpr int Count = 21;
constexpr int StartFolder = 0;  // working directory when the program starts
constexpr int RenameFolder = 1; // folder whose .ts files "開始" renames
constexpr int BeforeString = 2; // before string as read from the settings file
constexpr int AfterString = 3;  // after string as read from the settings file
} // namespace slot

// Start-up: a fresh table with the start folder in slot 0 and slots 1 to 3 read from
// the settings file in that folder, or their defaults; the temporary files of an
// interrupted save are removed first. `notes`, when given, receives what the user
// should hear of: a settings file that is there but can't be used, leftovers removed.
ValueTable startUp(const QString& startFolder, QStringList* notes = nullptr);

// Reads the settings file of the start folder into slots 1 to 3. A missing file, fewer
// than three lines or a line 2 or 3 shorter than two characters gives the defaults, all
// together: the start folder and two empty strings. `problem`, when given, tells why a
// file that is there could not be used (empty otherwise).
void loadSettings(ValueTable& values, QString* problem = nullptr);
// The same for the lines of a settings file that could be read. Returns an empty text,
// or why the lines could not be used (the defaults then apply).
QString settingsFromLines(ValueTable& values, const QStringList& lines);

// Full path of the settings file in the start folder.
QString settingsPath(const ValueTable& values);

// The three lines of the settings file: slot 1, then the two strings in double quotes.
QStringList settingsLines(const ValueTable& values, const QString& before, const QString& after);

// Writes the settings file whole, those three lines.
// Returns an empty text on success, otherwise the reason.
QString writeSettings(const ValueTable& values, const QString& before, const QString& after);

} // namespace tassik
