#include "CommandLine.h"

// Follows the argument parser of the Microsoft C runtime (its rules since 2008), which
// is what a Windows program built with it sees of its command line, so a program
// started on POSIX gets the same argument vector. CommandLineToArgvW may differ in
// corners we never produce: there a program name that starts with a quote ends at the
// next quote ("a b"c gives a b and c, not a bc), and "" inside quotes follows an older
// rule. The text ends at a NUL character, as a Windows command line would.

namespace chain::platform {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

std::vector<std::string> splitCommandLine(std::string_view text) {
    if (const auto nul = text.find('\0'); nul != std::string_view::npos)
        text = text.substr(0, nul);

    std::vector<std::string> args;
    if (text.empty())
        return args;

    std::size_t i = 0;
    const std::size_t n = text.size();

    // The program name: up to the first blank outside quotes; quotes only toggle,
    // backslashes are ordinary characters. A text that starts with a blank therefore
    // has an empty program name, as on Windows.
    {
        std::string name;
        bool inQuotes = false;
        for (; i < n; ++i) {
            const char c = text[i];
            if (c == '"') {
                inQuotes = !inQuotes;
                continue;
            }
            if (!inQuotes && isBlank(c))
                break;
            name.push_back(c);
        }
        args.push_back(std::move(name));
    }

    // The other arguments.
    for (;;) {
        while (i < n && isBlank(text[i]))
            ++i;
        if (i >= n)
            break;

        std::string arg;
        bool inQuotes = false;
        for (;;) {
            std::size_t backslashes = 0;
            while (i < n && text[i] == '\\') {
                ++backslashes;
                ++i;
            }
            bool copyChar = true;
            if (i < n && text[i] == '"') {
                if (backslashes % 2 == 0) {
                    if (inQuotes && i + 1 < n && text[i + 1] == '"') {
                        ++i; // "" inside quotes: one literal quote, still quoted
                    } else {
                        copyChar = false;
                        inQuotes = !inQuotes;
                    }
                }
                backslashes /= 2;
            }
            arg.append(backslashes, '\\');
            if (i >= n || (!inQuotes && isBlank(text[i])))
                break;
            if (copyChar)
                arg.push_back(text[i]);
            ++i;
        }
        args.push_back(std::move(arg));
    }
    return args;
}

std::string quoteArgument(std::string_view value) {
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char c : value) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') {
            quoted.append(backslashes * 2 + 1, '\\');
        } else {
            quoted.append(backslashes, '\\');
        }
        backslashes = 0;
        quoted.push_back(c);
    }
    quoted.append(backslashes * 2, '\\');
    quoted.push_back('"');
    return quoted;
}

} // namespace chain::platform
