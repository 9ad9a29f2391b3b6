#pragma once

#include <QString>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace tassik {

// A name after rewriting, with the number of single-character changes that led to it.
struct Rewritten {
    QString text;
    int changes = 0;
};

// The substitution table: position k of the after string replaces the character at
// position k of the before string, "\" deleting it. Only the first position of each
// before character counts. Characters are Unicode code points, compared exactly.
class SubstitutionTable {
  public:
    // The strings must have the same number of characters (see checkTable).
    SubstitutionTable(const QString& before, const QString& after);

    // Rewrites `base` pass by pass: each pass changes the leftmost character that the
    // table holds, until no character of the table is left. Nothing comes back when the
    // rewriting does not settle (only possible with a cyclic table).
    std::optional<Rewritten> rewrite(const QString& base) const;

    // The characters of a cycle, its first character repeated at the end ("a", "b",
    // "a"); empty when following the entries always ends.
    std::u32string findCycle() const;

  private:
    // Before character -> after character; nothing means "delete".
    std::unordered_map<char32_t, std::optional<char32_t>> m_entries;
    std::vector<char32_t> m_order; // before characters in the order of their first entry
};

// Splits a text into characters (code points). A lone surrogate, which carries a file
// name's byte that isn't UTF-8, stays one character of its own (see Characters.h), so a
// rewritten name keeps such bytes instead of getting U+FFFD.
std::u32string toCharacters(const QString& text);
// Length of a text in characters.
qsizetype characterCount(const QString& text);

// Whether a table can be used: "開始" and "記憶" do nothing for an empty string and
// refuse strings of different length or a cyclic table with `message`.
struct TableCheck {
    enum class State { Empty, LengthDiffers, Cyclic, Usable } state;
    QString message; // for LengthDiffers and Cyclic
};
TableCheck checkTable(const QString& before, const QString& after);

} // namespace tassik
