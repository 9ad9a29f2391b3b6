// Splitting a command-line text as a Windows program does, and quoting an argument so
// that it splits back to itself.

#include "TestSupport.h"

#include "platform/CommandLine.h"

using namespace chain::platform;
using Args = std::vector<std::string>;

TEST_CASE("a command line splits as a Windows program splits it") {
    const struct {
        std::string name;
        std::string text;
        Args expected;
    } rows[] = {
        {"demuxer command",
         R"(/opt/x/BonTsDemux.exe -i "D:\rec\ABC.ts" -o "E:\out\ABC" -rf64"1" -vf"1" -nd "0" -start -quit)",
         {"/opt/x/BonTsDemux.exe", "-i", R"(D:\rec\ABC.ts)", "-o", R"(E:\out\ABC)", "-rf641", "-vf1", "-nd",
          "0", "-start", "-quit"}},
        {"quoted program with blank", R"("/a b/x.exe" -q)", {"/a b/x.exe", "-q"}},
        {"quote inside program name only toggles",
         R"(C:\Pro"gram Fi"les\x.exe -q)",
         {R"(C:\Program Files\x.exe)", "-q"}},
        {"program name takes no backslash escapes", R"("C:\dir\" arg)", {R"(C:\dir\)", "arg"}},
        {"program alone", "x.exe", {"x.exe"}},
        {"empty text", "", {}},
        {"leading blank gives empty program name", " p a", {"", "p", "a"}},
        {"blanks and tabs separate, trailing ignored", "p \t a  \tb \t", {"p", "a", "b"}},
        {"quoted blank stays", R"(p "a b"c d)", {"p", "a bc", "d"}},
        {"empty quoted argument", R"(p "" x)", {"p", "", "x"}},
        {"backslashes before other characters are literal",
         R"(p C:\x\\y\ \\server\share)",
         {"p", R"(C:\x\\y\)", R"(\\server\share)"}},
        {"2n backslashes and quote: n backslashes, quote toggles",
         R"(p a\\"b c" d\\\\"")",
         {"p", R"(a\b c)", R"(d\\)"}},
        {"2n+1 backslashes and quote: n backslashes, literal quote",
         R"(p a\"b a\\\"b "c\" d")",
         {"p", R"(a"b)", R"(a\"b)", R"(c" d)"}},
        {"quoted folder with trailing backslash",
         R"(p "C:\dir\\" x "C:\dir\" y)",
         {"p", R"(C:\dir\)", "x", R"(C:\dir" y)"}},
        {"double quote inside quotes is a quote", R"(p "a""b c" "")", {"p", R"(a"b c)", ""}},
        {"double quote outside quotes is nothing", R"(p a""b)", {"p", "ab"}},
        {"unclosed quote runs to the end", R"(p "a b)", {"p", "a b"}},
        {"Japanese text passes unchanged", "p \"D:\\録画\\番組 1.ts\"", {"p", "D:\\録画\\番組 1.ts"}},
    };
    for (const auto& row : rows) {
        INFO(row.name);
        CHECK(splitCommandLine(row.text) == row.expected);
    }
}

TEST_CASE("a quoted argument splits back to its value") {
    const struct {
        std::string value;
        std::string quoted;
    } rows[] = {
        {R"(D:\rec\番組 1.ts)", R"("D:\rec\番組 1.ts")"}, // plain path
        {"", R"("")"},
        {R"(E:\out\)", R"("E:\out\\")"},      // trailing backslash
        {R"(\\)", R"("\\\\")"},               // only backslashes
        {R"(a"b)", R"("a\"b")"},              // quote inside
        {R"(a\\"b)", R"("a\\\\\"b")"},        // backslashes before a quote
        {R"(\\server\x)", R"("\\server\x")"}, // backslashes before other characters
    };
    for (const auto& row : rows) {
        CAPTURE(row.value);
        const std::string text = quoteArgument(row.value);
        CHECK(text == row.quoted);
        CHECK(splitCommandLine("p.exe " + text + " -start -quit") ==
              Args{"p.exe", row.value, "-start", "-quit"});
    }
}
