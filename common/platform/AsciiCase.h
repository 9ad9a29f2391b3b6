#pragma once

#include <string_view>

// Comparisons of names with the letter case of ASCII letters ignored: image names and
// file extensions. Bytes outside ASCII are compared as they are.
namespace chain::platform {

constexpr char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i]))
            return false;
    }
    return true;
}

constexpr bool endsWithIgnoringAsciiCase(std::string_view name, std::string_view ending) {
    return name.size() >= ending.size() &&
           equalsIgnoringAsciiCase(name.substr(name.size() - ending.size()), ending);
}

} // namespace chain::platform
