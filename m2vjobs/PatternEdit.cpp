#include "PatternEdit.h"

#include "SettingsText.h"

namespace pellavo {

void PatternEdit::select(int position) {
    m_selected = position >= 0 && position < m_table.entries.size() ? position : -1;
}

bool PatternEdit::add(const QString& label, const QString& file) {
    for (const PatternEntry& entry : m_table.entries) {
        if (entry.label == label)
            return false;
    }
    PatternPut(static_cast<int>(m_table.entries.size()) + 1, label, file);
    m_selected = static_cast<int>(m_table.entries.size()) - 1;
    return true;
}

void PatternEdit::change(const QString& label, const QString& file) {
    if (m_selected >= 0)
        PatternPut(m_selected + 1, label, file);
}

void PatternEdit::remove() {
    if (m_selected < 0)
        return;
    m_table.entries.removeAt(m_selected);
    select(std::min(m_selected, static_cast<int>(m_table.entries.size()) - 1));
}

void PatternEdit::moveUp() {
    if (m_selected < 1)
        return;
    m_table.entries.swapItemsAt(m_selected, m_selected - 1);
    --m_selected;
}

void PatternEdit::moveDown() {
    const int count = static_cast<int>(m_table.entries.size());
    if (count < 2 || m_selected == count - 1)
        return;
    if (m_selected < 0) {
        m_selected = 0;
        return;
    }
    m_table.entries.swapItemsAt(m_selected, m_selected + 1);
    ++m_selected;
}

void PatternEdit::PatternPut(int k, const QString& label, const QString& file) {
    const PatternEntry entry{chain::trimBlanks(label), chain::trimBlanks(file)};
    if (k > m_table.entries.size())
        m_table.entries << entry;
    else
        m_table.entries[k - 1] = entry;
}

} // namespace pellavo
