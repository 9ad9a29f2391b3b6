#include "SubstitutionTable.h"

#include "Texts.h"

#include "Characters.h"

#include <QList>
#include <QStringList>
#include <algorithm>

namespace tassik {

namespace {
constexpr char32_t DeleteMark = U'\\';

QString fromCharacters(const std::u32string& chars) {
    return chain::fromCharacters(chars);
}

// "a → b → a", each character in corner brackets so that blanks stay visible.
QString describeCycle(const std::u32string& cycle) {
    QStringList parts;
    for (char32_t c : cycle)
        parts << u'「' + fromCharacters(std::u32string(1, c)) + u'」';
    return parts.join(QStringLiteral(" → "));
}
} // namespace

std::u32string toCharacters(const QString& text) {
    return chain::toCharacters(text);
}

qsizetype characterCount(const QString& text) {
    return chain::characterCount(text);
}

SubstitutionTable::SubstitutionTable(const QString& before, const QString& after) {
    const std::u32string from = toCharacters(before);
    const std::u32string to = toCharacters(after);
    const std::size_t count = std::min(from.size(), to.size());
    for (std::size_t k = 0; k < count; ++k) {
        if (m_entries.contains(from[k]))
            continue; // a later entry for the same character is never used
        m_entries.emplace(from[k], to[k] == DeleteMark ? std::nullopt : std::optional<char32_t>(to[k]));
        m_order.push_back(from[k]);
    }
}

std::optional<Rewritten> SubstitutionTable::rewrite(const QString& base) const {
    std::u32string chars = toCharacters(base);
    Rewritten result;
    // Without a cycle each character changes at most once per entry before it is
    // deleted or settles, which bounds the number of passes.
    const std::size_t maxChanges = (chars.size() + 1) * (m_entries.size() + 1);
    // A pass scans from the first character; characters left of the last change hold
    // nothing of the table (the previous pass went over them unchanged), so the scan
    // may resume at the last change with the same result.
    std::size_t from = 0;
    while (true) {
        std::size_t j = from;
        while (j < chars.size() && !m_entries.contains(chars[j]))
            ++j;
        if (j == chars.size())
            break;
        if (static_cast<std::size_t>(result.changes) >= maxChanges)
            return std::nullopt;
        ++result.changes;
        const std::optional<char32_t>& replacement = m_entries.at(chars[j]);
        if (replacement)
            chars[j] = *replacement;
        else
            chars.erase(j, 1);
        from = j;
    }
    result.text = fromCharacters(chars);
    return result;
}

std::u32string SubstitutionTable::findCycle() const {
    enum class Mark { OnPath, Done };
    std::unordered_map<char32_t, Mark> marks;
    for (char32_t start : m_order) {
        if (marks.contains(start))
            continue;
        std::u32string path;
        std::optional<char32_t> current = start;
        // Follow the entries until a character leaves the table, is deleted, was already
        // explored from another start, or shows up again on this path.
        while (current && m_entries.contains(*current)) {
            const auto mark = marks.find(*current);
            if (mark != marks.end()) {
                if (mark->second == Mark::OnPath) {
                    std::u32string cycle = path.substr(path.find(*current));
                    cycle.push_back(*current);
                    return cycle;
                }
                break;
            }
            marks.emplace(*current, Mark::OnPath);
            path.push_back(*current);
            current = m_entries.at(*current);
        }
        for (char32_t c : path)
            marks[c] = Mark::Done;
    }
    return {};
}

TableCheck checkTable(const QString& before, const QString& after) {
    if (before.isEmpty() || after.isEmpty())
        return {TableCheck::State::Empty, {}};
    if (characterCount(before) != characterCount(after))
        return {TableCheck::State::LengthDiffers, text::lengthMessage()};
    const std::u32string cycle = SubstitutionTable(before, after).findCycle();
    if (!cycle.empty()) {
        return {TableCheck::State::Cyclic,
                QStringLiteral("変換表が循環しています: %1\n変換が終わらないため、この表は使えません。")
                    .arg(describeCycle(cycle))};
    }
    return {TableCheck::State::Usable, {}};
}

} // namespace tassik
