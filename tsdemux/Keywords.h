#pragma once

#include <QString>
#include <QStringList>

namespace kestrune {

inline const QString KeywordFileName = QStringLiteral("KestruneData2.txt");

// The keyword list that restricts automatic conversion to names holding one of them.
// Element 0 is the number of keywords as decimal text, the keywords follow from 1 on.
class Keywords {
  public:
    Keywords() : m_items{QStringLiteral("0")} {}

    int count() const { return static_cast<int>(m_items.size()) - 1; }
    // Keyword k, 1-based.
    const QString& at(int k) const { return m_items.at(k); }
    QStringList entries() const { return m_items.mid(1); }
    const QStringList& items() const { return m_items; }
    void setEntries(const QStringList& keywords);

  private:
    QStringList m_items;
};

// Loads KestruneData2.txt of the program folder, one keyword a line, untrimmed. A
// missing or unreadable file leaves the list empty; `problem`, when given, tells why a
// file that is there could not be read (empty otherwise), for the event log.
Keywords loadKeywords(const QString& programFolder, QString* problem = nullptr);

// Yes when at least one keyword occurs anywhere in the name (extension included),
// compared exactly. No keywords: no.
bool KeywordMatch(const Keywords& keywords, const QString& name);

} // namespace kestrune

namespace kestrune {

// Writes the keywords to KestruneData2.txt, one a line. Returns an empty text on
// success, otherwise the reason.
QString saveKeywordFile(const QString& programFolder, const QStringList& keywords);
// Deletes KestruneData2.txt; a missing file is no failure. A file that can't be read
// (the user's list, unknown to us) is kept as KestruneData2.txt.bak instead. Returns the
// reason of a failure, or an empty text.
QString removeKeywordFile(const QString& programFolder);

} // namespace kestrune
