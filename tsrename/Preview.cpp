#include "Preview.h"

#include "BatchRename.h"
#include "SubstitutionTable.h"

#include <QHash>

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

Preview computePreview(const QStringList& folderFiles, const QString& before, const QString& after) {
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
    // Every name in the folder, true when an earlier row's rename put it there.
    QHash<QString, bool> taken;
    taken.reserve(folderFiles.size());
    for (const QString& name : folderFiles)
        taken.insert(nameKey(name), false);

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
        } else if (newKey != oldKey && taken.contains(newKey)) {
            row.status =
                taken.value(newKey) ? PreviewStatus::CollidesEarlier : PreviewStatus::CollidesExisting;
        } else {
            taken.remove(oldKey);
            taken.insert(newKey, true);
        }
        preview.rows.push_back(row);
    }
    return preview;
}

} // namespace tassik
