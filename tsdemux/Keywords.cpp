#include "Keywords.h"

#include "FileOps.h"
#include "TextFile.h"
#include "WholeNumber.h"

namespace kestrune {

void Keywords::setEntries(const QStringList& keywords) {
    m_items = QStringList{QString::number(keywords.size())} + keywords;
}

Keywords loadKeywords(const QString& programFolder, QString* problem) {
    Keywords keywords;
    const QString path = chain::joinPath(programFolder, KeywordFileName);
    const chain::TextRead read = chain::readTextFile(path);
    if (read.state == chain::TextRead::State::Read)
        keywords.setEntries(read.lines);
    if (problem) {
        *problem =
            read.state != chain::TextRead::State::Unreadable
                ? chain::utf8Note(path, read)
                : QStringLiteral("キーワードファイル %1 を読めないため、キーワードなしで始めます (%2)。")
                          .arg(KeywordFileName, read.reason) +
                      chain::keptOnSaveNote(path, QStringLiteral("登録し直すと"));
    }
    return keywords;
}

bool KeywordMatch(const Keywords& keywords, const QString& name) {
    const int count = chain::wholeNumber(keywords.items().at(0));
    for (int k = 1; k <= count && k <= keywords.count(); ++k) {
        if (name.contains(keywords.at(k), Qt::CaseSensitive))
            return true;
    }
    return false;
}

QString saveKeywordFile(const QString& programFolder, const QStringList& keywords) {
    return chain::writeTextLines(chain::joinPath(programFolder, KeywordFileName), keywords);
}

QString removeKeywordFile(const QString& programFolder) {
    const QString path = chain::joinPath(programFolder, KeywordFileName);
    if (const QString error = chain::backUpIfNotCp932(path); !error.isEmpty())
        return error;
    if (!chain::fileExists(path))
        return {}; // missing, or kept as a backup just now
    return chain::deleteFile(path);
}

} // namespace kestrune
