#include "IndividualList.h"

#include "FileOps.h"

namespace kestrune {

QString outputBaseName(const QString& fileName) {
    const qsizetype at = fileName.indexOf(QStringLiteral(".ts"), 0, Qt::CaseInsensitive);
    return at < 0 ? fileName : fileName.left(at);
}

void IndividualList::AddChosenFiles(const QStringList& chosen) {
    for (const QString& name : chosen) {
        if (names.contains(name))
            continue;
        names << name;
        outputNames << outputBaseName(name);
    }
}

void IndividualList::removeRow(int row) {
    if (row < 0 || row >= names.size())
        return;
    names.removeAt(row);
    outputNames.removeAt(row);
}

void IndividualList::clear() {
    names.clear();
    outputNames.clear();
}

std::optional<QStringList> tsFilesOf(const QString& folder) {
    return chain::listFiles(folder, QStringLiteral(".ts"));
}

} // namespace kestrune
