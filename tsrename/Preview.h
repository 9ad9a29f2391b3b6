#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace tassik {

// How one .ts file would fare if "開始" were pressed now.
enum class PreviewStatus {
    Unchanged,        // the table touches nothing of its name
    Renamed,          // it would get the new name
    CollidesExisting, // a file of the new name is already in the folder: keeps its name
    CollidesEarlier,  // an earlier row would take the new name first: keeps its name
    BadName,          // the new name can't be given (forbidden character, empty name)
    TableRefused,     // the table can't be used as it stands
    // In the preview of an undo: the file was replaced, written to or taken away since the
    // batch, so it is not named back.
    ChangedSince,
};

// One row of the preview: the present name and the name "開始" would aim for.
struct PreviewRow {
    QString present;
    QString proposed;
    PreviewStatus status = PreviewStatus::Unchanged;
};

// The preview of a whole folder; `note` explains a table that can't be used.
struct Preview {
    QString note;
    std::vector<PreviewRow> rows;
};

// Works out, without touching any file, what "開始" would do to the .ts files among
// `folderFiles` (the folder's whole listing, in listing order) with this table. Renames
// are played through in order, so a name freed or taken by an earlier row counts. The
// test of each new name is the run's: its name rules, and whether anything has the name
// already. The listing holds ordinary files only, so `nameTaken` is asked about a name
// it doesn't hold (a folder, a dot-file, a link can take it too); without it, only the
// listing counts.
Preview computePreview(const QStringList& folderFiles, const QString& before, const QString& after,
                       const std::function<bool(const QString&)>& nameTaken = {});

} // namespace tassik
