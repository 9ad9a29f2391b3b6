#include "BatchRename.h"

#include "FileOps.h"

namespace tassik {

namespace {
const QString& tsExtension() {
    static const QString extension = QStringLiteral(".ts");
    return extension;
}

bool isForbidden(QChar c) {
#ifdef Q_OS_WIN
    static const QString forbidden = QStringLiteral("<>:\"/\\|?*");
    return forbidden.contains(c);
#else
    return c == u'/';
#endif
}
} // namespace

QString nameProblem(const QString& newName) {
    // The same test the rename itself makes of every path, so that the preview refuses
    // what the run refuses, with the same reason.
    if (const QString problem = chain::pathProblem(newName); !problem.isEmpty())
        return problem;
    if (newName.compare(tsExtension(), Qt::CaseInsensitive) == 0)
        return QStringLiteral("新しい名前が空になります");
    // A dot-file is hidden: no listing (Kestrune's included) would see it again.
    if (const QString hidden = chain::hiddenNameProblem(newName); !hidden.isEmpty())
        return hidden;
    for (QChar c : newName) {
        if (isForbidden(c))
            return QStringLiteral("ファイル名に使えない文字「%1」が入ります").arg(c);
    }
    return {};
}

PlannedName planName(const QString& fileName, const SubstitutionTable& table) {
    const qsizetype dot = fileName.lastIndexOf(u'.');
    const QString base = dot < 0 ? fileName : fileName.left(dot);
    const std::optional<Rewritten> rewritten = table.rewrite(base);
    if (!rewritten)
        return {true, fileName, QStringLiteral("変換が終わりません")};
    if (rewritten->changes == 0)
        return {false, fileName, {}};
    const QString newName = rewritten->text + tsExtension();
    return {true, newName, nameProblem(newName)};
}

QStringList tsFiles(const QStringList& folderFiles) {
    return chain::withExtension(folderFiles, tsExtension());
}

FolderRun renameFolder(const QString& folder, const SubstitutionTable& table) {
    FolderRun run;
    const std::optional<QStringList> listing = chain::listFiles(folder, tsExtension(), &run.listError);
    if (!listing) {
        if (run.listError.isEmpty())
            run.listError = QStringLiteral("フォルダを読めません");
        return run;
    }
    // Every name is planned first, then the renames are done in list order with the
    // folder opened once.
    QList<std::pair<QString, QString>> renames;
    std::vector<std::size_t> renamed; // the result of each rename
    for (const QString& name : *listing) {
        const PlannedName planned = planName(name, table);
        if (!planned.changed)
            continue;
        std::optional<chain::FileIdentity> identity;
        if (planned.problem.isEmpty()) {
            renames.append({name, planned.newName});
            renamed.push_back(run.results.size());
            identity = chain::fileIdentity(chain::joinPath(folder, name));
        }
        run.results.push_back({name, planned.newName, planned.problem, identity});
    }
    const QStringList errors = chain::renameInFolder(folder, renames);
    for (std::size_t i = 0; i < renamed.size(); ++i)
        run.results[renamed[i]].error = errors[static_cast<qsizetype>(i)];
    return run;
}

} // namespace tassik
