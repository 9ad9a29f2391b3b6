#pragma once

#include <QString>
#include <QStringList>

namespace kestrune {

// The keyword list as the registry window edits it: the rows and the selected row,
// with the rules for adding, changing, deleting and moving rows.
class KeywordListEdit {
  public:
    enum class Outcome { Nothing, Duplicate, Done };

    explicit KeywordListEdit(QStringList rows = {}) : m_rows(std::move(rows)) {}

    const QStringList& rows() const { return m_rows; }
    int selected() const { return m_selected; }
    // Selects a row; -1 or a row outside the list selects none.
    void select(int row);

    // Trimming removes blanks (spaces) at both ends, the one rule of all settings texts;
    // tabs and ideographic spaces are characters of the keyword.
    // -2 for a blank entry, -1 for an empty list, 1 when a row equals the trimmed entry,
    // else 0.
    int FindKeyword(const QString& entry) const;

    // Adds the entry directly below the selected row: at the end (untrimmed, selected)
    // when the list is empty or its last row is selected, otherwise trimmed, below the
    // selected row and selected, or at the top with nothing selected when no row is.
    Outcome add(const QString& entry);
    // Replaces the selected row by the trimmed entry.
    Outcome change(const QString& entry);
    // Deletes the selected row; afterwards none is selected.
    void remove();
    void moveUp();
    void moveDown();

  private:
    QStringList m_rows;
    int m_selected = -1;
};

} // namespace kestrune
