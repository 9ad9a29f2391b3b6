#include "KeywordListEdit.h"

#include "SettingsText.h"

namespace kestrune {

void KeywordListEdit::select(int row) {
    m_selected = (row >= 0 && row < m_rows.size()) ? row : -1;
}

int KeywordListEdit::FindKeyword(const QString& entry) const {
    const QString trimmed = chain::trimBlanks(entry);
    if (trimmed.isEmpty())
        return -2;
    if (m_rows.isEmpty())
        return -1;
    return m_rows.contains(trimmed) ? 1 : 0;
}

KeywordListEdit::Outcome KeywordListEdit::add(const QString& entry) {
    if (chain::trimBlanks(entry).isEmpty())
        return Outcome::Nothing;
    if (FindKeyword(entry) == 1)
        return Outcome::Duplicate;
    if (m_rows.isEmpty() || m_selected == m_rows.size() - 1) {
        m_rows.append(entry);
        m_selected = static_cast<int>(m_rows.size()) - 1;
        return Outcome::Done;
    }
    // Directly below the selected row, or at the top when none is selected.
    const int position = m_selected + 1;
    m_rows.insert(position, chain::trimBlanks(entry));
    m_selected = m_selected < 0 ? -1 : position;
    return Outcome::Done;
}

KeywordListEdit::Outcome KeywordListEdit::change(const QString& entry) {
    if (chain::trimBlanks(entry).isEmpty() || m_selected < 0)
        return Outcome::Nothing;
    if (FindKeyword(entry) == 1)
        return Outcome::Duplicate;
    m_rows[m_selected] = chain::trimBlanks(entry);
    return Outcome::Done;
}

void KeywordListEdit::remove() {
    if (m_selected < 0)
        return;
    m_rows.removeAt(m_selected);
    m_selected = -1;
}

void KeywordListEdit::moveUp() {
    if (m_selected <= 0)
        return;
    m_rows.swapItemsAt(m_selected, m_selected - 1);
    --m_selected;
}

void KeywordListEdit::moveDown() {
    if (m_selected < 0 || m_selected >= m_rows.size() - 1)
        return;
    m_rows.swapItemsAt(m_selected, m_selected + 1);
    ++m_selected;
}

} // namespace kestrune
