#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace kestrune {

// The two parallel lists of individual conversion: source file names and output base
// names, row k of one belonging to row k of the other.
struct IndividualList {
    QStringList names;
    QStringList outputNames;

    // Appends each chosen name not listed yet (exact comparison), with the output base
    // name cut before the first ".ts" in any letter case.
    void AddChosenFiles(const QStringList& chosen);
    void removeRow(int row);
    void clear();
};

// The output base name of a file name: the text before its first ".ts" (any case), or
// the whole name when it holds none.
QString outputBaseName(const QString& fileName);

// The .ts files of a folder (extension case ignored), in name order; nothing when the
// folder can't be listed.
std::optional<QStringList> tsFilesOf(const QString& folder);

} // namespace kestrune
