#include "Undo.h"

#include "FileIdentity.h"
#include "FileOps.h"
#include "RunRecord.h"
#include "TextFile.h"

#include <QDateTime>
#include <QSet>
#include <algorithm>

namespace tassik {

namespace {
// The first field of the journal: the batch can be named back, or has been.
const QString BatchMark = QStringLiteral("batch");
const QString UndoneMark = QStringLiteral("undone");
constexpr qsizetype FieldsPerRename = 3; // old name, new name, identity

struct Entry {
    QString oldName;
    QString newName;
    chain::FileIdentity identity;
};

struct Journal {
    QString problem; // why it can't be used; empty when it can
    bool undone = false;
    chain::RunRecord::Run run;
    QString folder;
    std::vector<Entry> entries; // in the order of the renames
};

// A name read back from the journal must be a plain name in the folder.
bool plainName(const QString& name) {
    return chain::pathProblem(name).isEmpty() && !name.contains(u'/') &&
           !name.contains(chain::pathSeparator()) && name != u"." && name != u"..";
}

Journal readJournal(const chain::RunRecord::Loaded& loaded) {
    Journal journal;
    if (loaded.state == chain::RunRecord::Loaded::State::Damaged) {
        journal.problem = loaded.reason;
        return journal;
    }
    journal.run = loaded.run;
    const QStringList& fields = loaded.run.fields;
    if (fields.size() < 2 || (fields[0] != BatchMark && fields[0] != UndoneMark) ||
        (fields.size() - 2) % FieldsPerRename != 0) {
        journal.problem = QStringLiteral("中身の形が違います");
        return journal;
    }
    journal.undone = fields[0] == UndoneMark;
    journal.folder = fields[1];
    if (const QString problem = chain::pathProblem(journal.folder); !problem.isEmpty()) {
        journal.problem = problem;
        return journal;
    }
    for (qsizetype i = 2; i < fields.size(); i += FieldsPerRename) {
        const std::optional<chain::FileIdentity> identity = chain::parseIdentity(fields[i + 2]);
        if (!identity || !plainName(fields[i]) || !plainName(fields[i + 1])) {
            journal.problem = QStringLiteral("%1 行目が読めません").arg(i + 2);
            return journal;
        }
        journal.entries.push_back({fields[i], fields[i + 1], *identity});
    }
    return journal;
}

QString shown(const QString& path) {
    return QStringLiteral("元に戻す記録 %1").arg(path);
}

// The journal, or the plan's state and message when there is nothing to name back.
UndoPlan start(const QString& journalPath, Journal& journal) {
    const chain::RunRecord record(journalPath);
    const chain::RunRecord::Loaded loaded = record.load();
    if (loaded.state == chain::RunRecord::Loaded::State::None)
        return {UndoPlan::State::Nothing,
                QStringLiteral("%1 がないため、元に戻す一括変更はありません").arg(shown(journalPath)),
                {},
                {}};
    journal = readJournal(loaded);
    if (!journal.problem.isEmpty())
        return {
            UndoPlan::State::Unusable,
            QStringLiteral("%1 を使えないため、元に戻しません: %2").arg(shown(journalPath), journal.problem),
            {},
            {}};
    if (journal.undone)
        return {UndoPlan::State::Nothing,
                QStringLiteral("前回の一括変更は元に戻してあるため、何もしません"),
                {},
                {}};
    if (journal.entries.empty())
        return {UndoPlan::State::Nothing,
                QStringLiteral("前回の一括変更で名前の変わったファイルはありません"),
                {},
                {}};
    return {UndoPlan::State::Ready, {}, journal.folder, {}};
}

// How the entry fares now; `taken` tells whether a name in the folder is taken.
template <typename Taken> UndoStatus statusOf(const QString& folder, const Entry& entry, Taken taken) {
    // A rename that changed only the letter case (on Windows) finds the file under both
    // names: it is named back whatever the old name seems to show.
    const bool caseOnly = chain::sameEntryName(entry.oldName, entry.newName);
    if (!caseOnly && chain::isSameFile(chain::joinPath(folder, entry.oldName), entry.identity))
        return UndoStatus::AlreadyBack;
    const QString present = chain::joinPath(folder, entry.newName);
    if (!chain::isSameFile(present, entry.identity))
        return chain::nameTaken(present) ? UndoStatus::Changed : UndoStatus::Gone;
    if (!caseOnly && taken(entry.oldName))
        return UndoStatus::NameTaken;
    return UndoStatus::Restore;
}

QString eventOf(const Entry& entry, UndoStatus status) {
    switch (status) {
    case UndoStatus::Restore:
        return QStringLiteral("元の名前に戻しました: %1 → %2").arg(entry.newName, entry.oldName);
    case UndoStatus::AlreadyBack:
        return QStringLiteral("元の名前に戻っています: %1").arg(entry.oldName);
    case UndoStatus::Gone:
        return QStringLiteral("%1 が見つからないため、元に戻しません").arg(entry.newName);
    case UndoStatus::Changed:
        return QStringLiteral("%1 は一括変更の後で置き換えられたか書き換えられたため、元に戻しません")
            .arg(entry.newName);
    case UndoStatus::NameTaken:
        return QStringLiteral("元の名前のファイルが既にあるため、元に戻しません (上書きしません): %1 → %2")
            .arg(entry.newName, entry.oldName);
    }
    return {};
}
} // namespace

QString undoPath(const ValueTable& values) {
    return chain::joinPath(values.text(slot::StartFolder), UndoFileName);
}

QString saveUndoJournal(const QString& path, const QString& folder,
                        const std::vector<RenameResult>& results) {
    // A save cut short by a kill left its temporary file beside the journal: not kept.
    chain::removeSaveLeftovers(path);
    QStringList fields{BatchMark, folder};
    for (const RenameResult& result : results) {
        if (!result.error.isEmpty() || !result.identity)
            continue;
        fields << result.oldName << result.newName << chain::identityText(*result.identity);
    }
    return chain::RunRecord(path).save({QDateTime::currentDateTimeUtc(), fields});
}

QString keepUndoJournal(const ValueTable& values, const std::vector<RenameResult>& results) {
    const QString path = undoPath(values);
    // A run that renamed nothing (pressed again, say) is no batch to undo: the last one
    // that renamed files stays the one "元に戻す" names back.
    if (std::none_of(results.begin(), results.end(),
                     [](const RenameResult& result) { return result.error.isEmpty(); })) {
        chain::removeSaveLeftovers(path);
        return {};
    }
    const QString error = saveUndoJournal(path, values.text(slot::RenameFolder), results);
    if (error.isEmpty())
        return {};
    chain::deleteFile(path);
    return QStringLiteral("%1 を書けないため、この一括変更は元に戻せません: %2").arg(shown(path), error);
}

UndoPlan planUndo(const QString& journalPath) {
    Journal journal;
    UndoPlan plan = start(journalPath, journal);
    if (plan.state != UndoPlan::State::Ready)
        return plan;
    // Played through newest first, as the undo goes: a name that a step frees or takes
    // counts for the steps after it.
    QSet<QString> freed;
    QSet<QString> taken;
    const auto isTaken = [&](const QString& name) {
        return taken.contains(name) ||
               (!freed.contains(name) && chain::nameTaken(chain::joinPath(journal.folder, name)));
    };
    for (auto entry = journal.entries.rbegin(); entry != journal.entries.rend(); ++entry) {
        const UndoStatus status = statusOf(journal.folder, *entry, isTaken);
        if (status == UndoStatus::Restore) {
            freed.insert(entry->newName);
            taken.remove(entry->newName);
            taken.insert(entry->oldName);
        }
        const bool back = status == UndoStatus::AlreadyBack;
        plan.steps.push_back({back ? entry->oldName : entry->newName, entry->oldName, status});
    }
    return plan;
}

std::vector<PreviewRow> undoPreviewRows(const UndoPlan& plan) {
    std::vector<PreviewRow> rows;
    for (const UndoStep& step : plan.steps) {
        PreviewStatus status = PreviewStatus::Renamed;
        switch (step.status) {
        case UndoStatus::Restore:
            break;
        case UndoStatus::AlreadyBack:
            status = PreviewStatus::Unchanged;
            break;
        case UndoStatus::Gone:
        case UndoStatus::Changed:
            status = PreviewStatus::ChangedSince;
            break;
        case UndoStatus::NameTaken:
            status = PreviewStatus::CollidesExisting;
            break;
        }
        rows.push_back({step.present, step.restored, status});
    }
    return rows;
}

QString undoQuestion(const UndoPlan& plan) {
    const auto count = [&plan](auto which) {
        return std::count_if(plan.steps.begin(), plan.steps.end(), which);
    };
    QString question =
        QStringLiteral("前回の一括変更 (%1 件) のうち、%2 件の名前を元に戻しますか？")
            .arg(plan.steps.size())
            .arg(count([](const UndoStep& step) { return step.status == UndoStatus::Restore; }));
    if (const auto kept = count([](const UndoStep& step) {
            return step.status != UndoStatus::Restore && step.status != UndoStatus::AlreadyBack;
        }))
        question += QStringLiteral("\n%1 件 (色の付いた行) は戻せないため、そのままにします。").arg(kept);
    return question;
}

UndoRun undoLastBatch(const QString& journalPath) {
    Journal journal;
    const UndoPlan plan = start(journalPath, journal);
    if (plan.state != UndoPlan::State::Ready)
        return {plan.state, {plan.message}, false};
    UndoRun run{UndoPlan::State::Ready, {}, false};
    bool retryable = false; // a file left that a later undo may still name back
    const auto isTaken = [&](const QString& name) {
        return chain::nameTaken(chain::joinPath(journal.folder, name));
    };
    for (auto entry = journal.entries.rbegin(); entry != journal.entries.rend(); ++entry) {
        UndoStatus status = statusOf(journal.folder, *entry, isTaken);
        if (status == UndoStatus::Restore) {
            const QString error = chain::moveNoReplace(chain::joinPath(journal.folder, entry->newName),
                                                       chain::joinPath(journal.folder, entry->oldName));
            if (!error.isEmpty()) {
                run.events << QStringLiteral("元の名前に戻せません: %1 → %2: %3")
                                  .arg(entry->newName, entry->oldName, error);
                run.anyFailed = true;
                retryable = true;
                continue;
            }
        }
        run.events << eventOf(*entry, status);
        run.anyFailed = run.anyFailed || (status != UndoStatus::Restore && status != UndoStatus::AlreadyBack);
        retryable = retryable || status == UndoStatus::NameTaken;
    }
    // Marked only now: an undo cut short finds the batch still to be named back, and what
    // it did already as named back. A file that kept its new name only because its old one
    // was taken, or the move failed, can still be named back by a later undo once the
    // name is free: the journal stays open for it.
    if (retryable)
        return run;
    journal.run.fields[0] = UndoneMark;
    chain::removeSaveLeftovers(journalPath);
    if (const QString error = chain::RunRecord(journalPath).save(journal.run); !error.isEmpty()) {
        run.events << QStringLiteral("%1 を書き換えられません: %2").arg(shown(journalPath), error);
        run.anyFailed = true;
    }
    return run;
}

} // namespace tassik
