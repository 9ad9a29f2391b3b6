#include "Preview.h"

#include "BatchRename.h"
#include "SubstitutionTable.h"

#include <QHash>
#include <optional>

namespace tassik {

namespace {
// The key under which the file system tells names apart.
QString nameKey(const QString& name) {
#ifdef Q_OS_WIN
    return name.toCaseFolded();
#else
    return name;
#endif
}

std::vector<PreviewRow> unchangedRows(const QStringList& names, PreviewStatus status) {
    std::vector<PreviewRow> rows;
    rows.reserve(static_cast<std::size_t>(names.size()));
    for (const QString& name : names)
        rows.push_back({name, status == PreviewStatus::Unchanged ? name : QString(), status});
    return rows;
}
} // namespace

Preview computePreview(const QStringList& folderFiles, const QString& before, const QString& after,
                       const std::function<bool(const QString&)>& nameTaken) {
    const QStringList names = tsFiles(folderFiles);
    const TableCheck check = checkTable(before, after);
    switch (check.state) {
    case TableCheck::State::Empty:
        return {QStringLiteral("変換表が空のため、ファイル名は変わりません。"),
                unchangedRows(names, PreviewStatus::Unchanged)};
    case TableCheck::State::LengthDiffers:
    case TableCheck::State::Cyclic:
        return {check.message, unchangedRows(names, PreviewStatus::TableRefused)};
    case TableCheck::State::Usable:
        break;
    }

    const SubstitutionTable table(before, after);
    // The names the run will have met by each row: there from the start, put there by
    // an earlier row's rename, or freed by one. A name not in here is asked about.
    enum class Name { Existing, ByEarlierRow, Freed };
    QHash<QString, Name> taken;
    // Room for every file and every new name: the table never grows (and rehashes) midway.
    taken.reserve(folderFiles.size() + names.size());
    for (const QString& name : folderFiles)
        taken.insert(nameKey(name), Name::Existing);
    const auto state = [&](const QString& name) -> std::optional<Name> {
        const auto found = taken.constFind(nameKey(name));
        if (found != taken.constEnd())
            return *found == Name::Freed ? std::nullopt : std::optional<Name>(*found);
        if (nameTaken && nameTaken(name))
            return Name::Existing;
        return std::nullopt;
    };

    Preview preview;
    preview.rows.reserve(static_cast<std::size_t>(names.size()));
    for (const QString& name : names) {
        const PlannedName planned = planName(name, table);
        PreviewRow row{name, planned.newName, PreviewStatus::Renamed};
        const QString oldKey = nameKey(name);
        const QString newKey = nameKey(planned.newName);
        if (!planned.changed) {
            row.status = PreviewStatus::Unchanged;
        } else if (!planned.problem.isEmpty()) {
            row.status = PreviewStatus::BadName;
        } else if (const std::optional<Name> there =
                       newKey != oldKey ? state(planned.newName) : std::nullopt) {
            row.status = *there == Name::ByEarlierRow ? PreviewStatus::CollidesEarlier
                                                      : PreviewStatus::CollidesExisting;
        } else {
            taken.insert(oldKey, Name::Freed);
            taken.insert(newKey, Name::ByEarlierRow);
        }
        preview.rows.push_back(row);
    }
    return preview;
}

} // namespace tassik
