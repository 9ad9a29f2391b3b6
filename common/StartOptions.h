#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace chain {

// One command-line option of a program; `takesValue` when the next argument is its value.
struct KnownOption {
    std::string_view name;
    bool takesValue = false;
};

// The options of the engines' headless runs (Kestrune, Pellavo, Orvane).
inline constexpr KnownOption EngineOptions[] = {
    {"--headless"}, {"--until-idle"}, {"--time-scale", true}, {"--no-log"}};

// Answers the command line before the program needs anything else (a display, its folder),
// taking the arguments in order: --help prints `usage` on standard output and --version the
// version of `program` (its name as shown, "Kestrune"), each ending the program with 0; an
// argument that is neither of them nor among `known` prints `usage` on standard error and ends
// the program with 2. Returns the exit status when the program must end now, and nothing when
// it goes on. `usage` ends with a line break; the lines that all four programs share follow it.
std::optional<int> answerStartOptions(int argc, char** argv, std::string_view program, std::string_view usage,
                                      std::span<const KnownOption> known);

} // namespace chain
