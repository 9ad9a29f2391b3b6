#pragma once

#include "SubstitutionTable.h"

#include "FileIdentity.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace tassik {

// The name "開始" gives one listed file.
struct PlannedName {
    bool changed = false; // false: the file keeps its name, extension case included
    QString newName;      // the rewritten base name + ".ts" (the old name when unchanged)
    QString problem;      // why the new name can't be given; empty when it can
};

// Rewrites the base name (the name up to its last ".") through the table; the new
// extension is always ".ts".
PlannedName planName(const QString& fileName, const SubstitutionTable& table);

// Why a file can't carry this name on this platform (a control character, a forbidden
// character, an empty base name, on POSIX a leading "." that would hide it); empty when
// it can. The preview and the run both ask this.
QString nameProblem(const QString& newName);

// The .ts files of a folder listing (any letter case), in listing order.
QStringList tsFiles(const QStringList& folderFiles);

// One rename that "開始" tried.
struct RenameResult {
    QString oldName;
    QString newName;
    QString error; // empty when the file got its new name
    // The file renamed, as it was just before (for naming it back); nothing when it
    // could not be told.
    std::optional<chain::FileIdentity> identity = std::nullopt;
};

// What a run over a folder did. `listError` is set when the folder could not be listed,
// and then nothing was renamed.
struct FolderRun {
    QString listError;
    std::vector<RenameResult> results; // only files whose name the table changes
};

// Renames every .ts file of `folder` through the table, in ascending order of name with
// letter case ignored, taking the listing once. A rename never replaces an existing
// file; a failed one leaves the file as it was and the run goes on.
FolderRun renameFolder(const QString& folder, const SubstitutionTable& table);

} // namespace tassik
