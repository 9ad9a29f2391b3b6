#include "ConvertName.h"

#include "Characters.h"

namespace kestrune {

ConvertedName ConvertName(const QString& name, const QString& before, const QString& after) {
    // Characters, not UTF-16 units: one outside the BMP (an emoji) is one position of
    // the table, as the user counts it, and a name's bytes that aren't UTF-8 come
    // through unchanged.
    const std::u32string from = chain::toCharacters(before);
    const std::u32string to = chain::toCharacters(after);
    std::u32string result;
    int count = 0;
    for (const char32_t c : chain::toCharacters(name)) {
        const std::size_t p = from.find(c);
        if (p == std::u32string::npos) {
            result.push_back(c);
            continue;
        }
        ++count;
        if (p < to.size() && to[p] != U'\\')
            result.push_back(to[p]);
    }
    return {chain::fromCharacters(result), count};
}

} // namespace kestrune
