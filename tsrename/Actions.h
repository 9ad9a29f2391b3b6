#pragma once

#include "BatchRename.h"
#include "Dialogs.h"
#include "ValueTable.h"

#include <QString>
#include <vector>

// The rules behind Form1's buttons, free of widgets so that the window and the headless
// run share them and tests call them directly.
namespace tassik {

// "追加": appends one entry to the table strings. With either new character empty it
// shows the input error and changes nothing. Returns true when the entry was added.
bool addEntry(chain::Dialogs& dialogs, QString& before, QString& after, const QString& newBefore,
              const QString& newAfter);

// "記憶": writes the settings file when the table can be used. Empty strings do nothing;
// a length difference or a cycle, and a file that can't be written, are reported.
// Returns true when the file was written.
bool saveTable(chain::Dialogs& dialogs, const ValueTable& values, const QString& before,
               const QString& after);

// What "開始" came to.
struct StartResult {
    enum class Outcome {
        Ignored,  // empty strings: nothing happened, the program keeps running
        Refused,  // table or folder refused with a message; the program keeps running
        Finished, // the folder was renamed; the program ends now
    } outcome = Outcome::Ignored;
    std::vector<RenameResult> results; // the renames tried, failed ones included

    bool anyFailed() const;
};

// "開始": checks the table, then renames the .ts files of the rename folder (slot 1).
StartResult startRename(chain::Dialogs& dialogs, const ValueTable& values, const QString& before,
                        const QString& after);

// The event log's lines for the renames of a run, in their order: each rename done
// and each that failed, with the reason.
QStringList renameEvents(const std::vector<RenameResult>& results);

// The program's log file in the start folder, tassik.log.
QString logPath(const ValueTable& values);

// One line per failed rename: "old → new: reason".
QStringList failureLines(const std::vector<RenameResult>& results);

// The one box that tells of the files which kept their names after a run: a short
// text (the count and the first few files), and the whole list as the box's details,
// so that the box keeps its size however many files failed.
struct FailureSummary {
    QString text;
    QString details;
};
FailureSummary failureSummary(const std::vector<RenameResult>& results);

} // namespace tassik
