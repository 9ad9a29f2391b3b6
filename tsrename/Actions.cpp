#include "Actions.h"

#include "SubstitutionTable.h"

#include "EventLog.h"
#include "FileOps.h"
#include "Texts.h"


namespace tassik {

namespace {
// At most this many files are named in the failure box's text; the rest are counted
// there, and the details list them all.
constexpr qsizetype MaxListedFailures = 3;

// Shows the refusal of a table that can't be used; true when it can.
bool tableUsable(chain::Dialogs& dialogs, const TableCheck& check) {
    if (check.state == TableCheck::State::Usable)
        return true;
    if (check.state != TableCheck::State::Empty)
        dialogs.message(text::inputErrorTitle(), check.message);
    return false;
}
} // namespace

bool addEntry(chain::Dialogs& dialogs, QString& before, QString& after, const QString& newBefore,
              const QString& newAfter) {
    if (newBefore.isEmpty() || newAfter.isEmpty()) {
        dialogs.message(text::inputErrorTitle(), text::emptyCharacterMessage());
        return false;
    }
    before += newBefore;
    after += newAfter;
    return true;
}

bool saveTable(chain::Dialogs& dialogs, const ValueTable& values, const QString& before,
               const QString& after) {
    if (!tableUsable(dialogs, checkTable(before, after)))
        return false;
    const QString error = writeSettings(values, before, after);
    if (!error.isEmpty()) {
        dialogs.message(
            text::saveErrorTitle(),
            QStringLiteral("設定ファイル「%1」を保存できませんでした。\n%2").arg(settingsPath(values), error),
            chain::Dialogs::Icon::Warning);
        return false;
    }
    return true;
}

bool StartResult::anyFailed() const {
    for (const RenameResult& result : results) {
        if (!result.error.isEmpty())
            return true;
    }
    return false;
}

StartResult startRename(chain::Dialogs& dialogs, const ValueTable& values, const QString& before,
                        const QString& after) {
    const TableCheck check = checkTable(before, after);
    if (!tableUsable(dialogs, check)) {
        return {check.state == TableCheck::State::Empty ? StartResult::Outcome::Ignored
                                                        : StartResult::Outcome::Refused,
                {}};
    }
    const QString folder = values.text(slot::RenameFolder);
    // A blank folder line would mean the root: refused, naming the setting.
    if (const QString problem = chain::folderSettingProblem(text::folderLabel(), folder);
        !problem.isEmpty()) {
        dialogs.message(text::folderErrorTitle(), problem + QStringLiteral("。ファイル名は変更しません。"),
                        chain::Dialogs::Icon::Warning);
        return {StartResult::Outcome::Refused, {}};
    }
    FolderRun run = renameFolder(folder, SubstitutionTable(before, after));
    if (!run.listError.isEmpty()) {
        dialogs.message(text::folderErrorTitle(),
                        QStringLiteral("フォルダ「%1」を読めないため、ファイル名を変更できません。\n%2")
                            .arg(folder, run.listError),
                        chain::Dialogs::Icon::Warning);
        return {StartResult::Outcome::Refused, {}};
    }
    return {StartResult::Outcome::Finished, std::move(run.results)};
}

QStringList renameEvents(const std::vector<RenameResult>& results) {
    QStringList events;
    for (const RenameResult& rename : results) {
        if (rename.error.isEmpty())
            events << QStringLiteral("名前を変更しました: %1 → %2").arg(rename.oldName, rename.newName);
        else
            events << QStringLiteral("名前を変更できません: %1 → %2: %3")
                          .arg(rename.oldName, rename.newName, rename.error);
    }
    return events;
}

QString logPath(const ValueTable& values) {
    return chain::joinPath(values.text(slot::StartFolder),
                           chain::EventLog::fileName(QStringLiteral("tassik")));
}

QStringList failureLines(const std::vector<RenameResult>& results) {
    QStringList lines;
    for (const RenameResult& result : results) {
        if (!result.error.isEmpty())
            lines << QStringLiteral("%1 → %2: %3").arg(result.oldName, result.newName, result.error);
    }
    return lines;
}

FailureSummary failureSummary(const std::vector<RenameResult>& results) {
    const QStringList lines = failureLines(results);
    QString summary = QStringLiteral("次のファイルは名前が変わりませんでした (%1 件):").arg(lines.size());
    for (qsizetype i = 0; i < lines.size() && i < MaxListedFailures; ++i)
        summary += u'\n' + lines[i];
    if (lines.size() > MaxListedFailures)
        summary += QStringLiteral("\nほか %1 件 (すべての一覧は「詳細を表示」で見られます)")
                       .arg(lines.size() - MaxListedFailures);
    return {summary, lines.join(u'\n')};
}

} // namespace tassik
