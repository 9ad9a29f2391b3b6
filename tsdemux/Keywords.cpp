#include "Keywords.h"

#include "FileOps.h"
#include "TextFile.h"
#include "WholeNumber.h"

namespace kestrune {

void Keywords::setEntries(const QStringList& keywords) {
    m_items = QStringList{QString::number(keywords.size())} + keywords;
}

Keywords loadKeywords(const QString& programFolder) {
    Keywords keywords;
    if (const auto lines = chain::readTextLines(chain::joinPath(programFolder, KeywordFileName)))
        keywords.setEntries(*lines);
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
    if (!chain::fileExists(path))
        return {};
    return chain::deleteFile(path);
}

} // namespace kestrune
