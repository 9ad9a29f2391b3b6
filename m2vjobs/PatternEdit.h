#pragma once

#include "PatternTable.h"

namespace pellavo {

// The registry window's working copy of the pattern table, with its selected entry and
// the rules for adding, changing, deleting and moving entries. Positions count from 0;
// -1 means no entry is selected.
class PatternEdit {
  public:
    explicit PatternEdit(PatternTable table) : m_table(std::move(table)) {}

    const PatternTable& table() const { return m_table; }
    int selected() const { return m_selected; }
    // Selects an entry; -1 or a position outside the table selects none.
    void select(int position);

    // Appends the trimmed label and file and selects the new entry; false, changing
    // nothing, when a label is equal to `label` as typed (untrimmed). Empty labels and
    // files are accepted.
    bool add(const QString& label, const QString& file);
    // Puts the trimmed label and file into the selected entry; nothing when none is.
    void change(const QString& label, const QString& file);
    // Deletes the selected entry and selects the one now at its position, or the last.
    void remove();
    // Swaps the selected entry with the one above or below it; it stays selected. Down
    // with nothing selected (and more than one entry) selects the first entry.
    void moveUp();
    void moveDown();

  private:
    // Entry k (counted from 1) := the trimmed texts; past the end, a new last entry.
    void PatternPut(int k, const QString& label, const QString& file);

    PatternTable m_table;
    int m_selected = -1;
};

} // namespace pellavo
