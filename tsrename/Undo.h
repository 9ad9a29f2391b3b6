#pragma once

#include "BatchRename.h"
#include "Preview.h"
#include "ValueTable.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace tassik {

// The journal of the last batch, in the start folder: what "元に戻す" and --undo name back.
inline const QString UndoFileName = QStringLiteral("tassik.undo");
QString undoPath(const ValueTable& values);

// Writes the journal of a finished run over `folder`: each rename that worked, with the
// identity of the renamed file, replacing the journal of the batch before atomically (the
// temporary file of a save cut short is removed first). Returns an empty text, or why it
// could not be written.
QString saveUndoJournal(const QString& path, const QString& folder, const std::vector<RenameResult>& results);
// After a batch of "開始" (or --headless) that renamed a file: keeps its journal in the start
// folder (a batch that renamed nothing leaves the last journal as it is). Returns the event
// line telling that it could not, or an empty text. A journal that can't be written leaves
// no older one behind, which would name back another batch.
QString keepUndoJournal(const ValueTable& values, const std::vector<RenameResult>& results);

// How one file of the last batch would fare if it were named back now.
enum class UndoStatus {
    Restore,     // it gets its old name back
    AlreadyBack, // it has its old name already (an undo cut short did it)
    Gone,        // no file has its new name now
    Changed,     // the file under its new name is not the one renamed, or was written to
    NameTaken,   // another file has its old name: it keeps its new one
};

// One rename of the batch, newest first: the name the file has now, the one it had.
struct UndoStep {
    QString present;
    QString restored;
    UndoStatus status = UndoStatus::Restore;
};

// What naming back the last batch would do, without touching a file.
struct UndoPlan {
    enum class State {
        Nothing,  // no journal, a batch that renamed nothing, or one named back already
        Unusable, // the journal can't be read or doesn't hold up
        Ready,
    } state = State::Nothing;
    QString message; // why there is nothing to do, for Nothing and Unusable
    QString folder;
    std::vector<UndoStep> steps; // newest rename first
};
UndoPlan planUndo(const QString& journalPath);
// The plan as rows of the preview: the name now, the name it would get back.
std::vector<PreviewRow> undoPreviewRows(const UndoPlan& plan);
// The question "元に戻す" asks before it names the files back: how many it would name back,
// and how many keep their names.
QString undoQuestion(const UndoPlan& plan);

// Names the files of the last batch back, newest first, each only while it is still the
// file renamed and never over an existing file; the others are skipped and told. The
// journal is then marked as undone, so a second undo does nothing and says so, unless a
// file kept its new name because its old one was taken or the move failed: a later undo
// names it back once that is mended. An undo run again does no harm: what was named back
// already is left as it is.
struct UndoRun {
    UndoPlan::State state = UndoPlan::State::Nothing;
    QStringList events; // one line per file, or the message of Nothing and Unusable
    bool anyFailed = false;
};
UndoRun undoLastBatch(const QString& journalPath);

} // namespace tassik
