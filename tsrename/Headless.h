#pragma once

#include <QString>

namespace tassik {

// The run without a window: loads the settings of `startFolder` and does what "開始"
// does, printing each rename and each failure, and writing them to tassik.log in the
// start folder unless `writeLog` is false (--no-log). Returns the exit status: 0 when
// every rename succeeded, 1 when the table or folder was refused or the table was empty,
// 3 when a rename failed.
int runHeadless(const QString& startFolder, bool writeLog = true);

// --headless --undo: names the files of the last batch back as "元に戻す" does, printing
// each file and writing it to tassik.log unless `writeLog` is false. Returns the exit
// status: 0 when every file got its old name back, 1 when there was nothing to name back
// or the journal was refused, 3 when a file was skipped or could not be named back.
int runHeadlessUndo(const QString& startFolder, bool writeLog = true);

} // namespace tassik
