// cp932 through the system's own table: the same characters pass and the same are
// refused on every system.

#include "TestSupport.h"

#include "platform/Cp932.h"

using namespace chain::platform;

TEST_CASE("cp932 text round-trips") {
    const struct {
        std::string name;
        std::string text;
        std::string bytes;
    } rows[] = {
        {"empty", "", ""},
        {"ASCII with CR LF", "Name=abc\r\n", "Name=abc\r\n"},
        {"backslash stays a backslash", "D:\\rec\\", "D:\\rec\\"},
        {"tilde stays a tilde", "~", "~"},
        {"kanji", "変換開始", "\x95\xcf\x8a\xb7\x8a\x4a\x8e\x6e"},
        {"fullwidth tilde (Windows table)", "～", "\x81\x60"},
        {"fullwidth minus", "－", "\x81\x7c"},
        {"horizontal bar", "―", "\x81\x5c"},
        {"parallel", "∥", "\x81\x61"},
        {"fullwidth not sign", "￢", "\x81\xca"},
        {"NEC circled digit", "①", "\x87\x40"},
        {"NEC parenthesised kabu", "㈱", "\x87\x8a"},
        {"IBM extension", "髙", "\xfb\xfc"},
        {"halfwidth katakana", "ｱｲｳ", "\xb1\xb2\xb3"},
        {"NUL inside", std::string("a\0b", 3), std::string("a\0b", 3)},
    };
    for (const auto& row : rows) {
        INFO(row.name);
        CHECK(utf8ToCp932(row.text) == row.bytes);
        CHECK(cp932ToUtf8(row.bytes) == row.text);
    }
}

TEST_CASE("cp932 extension duplicates decode to one character") {
    const struct {
        std::string name;
        std::string bytes;
        std::string text;
    } rows[] = {
        {"NEC-selected IBM extension", "\xed\x40", "纊"},
        {"IBM extension", "\xfa\x5c", "纊"},
        {"NEC row 13 because", "\x87\x9a", "∵"},
        {"JIS because", "\x81\xe6", "∵"},
    };
    for (const auto& row : rows) {
        INFO(row.name);
        CHECK(cp932ToUtf8(row.bytes) == row.text);
    }
}

TEST_CASE("bytes that aren't cp932 are refused") {
    const struct {
        std::string name;
        std::string bytes;
    } rows[] = {
        {"lone lead byte at the end", "abc\x81"},       {"lead byte before a blank", "a\x81 b"},
        {"lead byte before a control", "\x81\x0d\x0a"}, {"trail byte 0x7f", "\x81\x7f"},
        {"unassigned double byte", "\x85\x40"},
    };
    for (const auto& row : rows) {
        INFO(row.name);
        CHECK_FALSE(cp932ToUtf8(row.bytes));
    }
}

TEST_CASE("text that cp932 can't hold is refused") {
    const struct {
        std::string name;
        std::string utf8;
    } rows[] = {
        {"emoji", "abc\xf0\x9f\x98\x80"},
        {"wave dash U+301C (only its fullwidth twin is in cp932)", "〜"},
        {"yen sign (would come back as a backslash)", "¥"},
        {"em dash U+2014", "—"},
        {"accented letter", "café"},
        {"Korean", "한"},
        {"invalid UTF-8", "a\xff"},
        {"encoded surrogate", "\xed\xa0\x80"},
        {"cut UTF-8 sequence", "\xe5\xa4"},
    };
    for (const auto& row : rows) {
        INFO(row.name);
        CHECK_FALSE(utf8ToCp932(row.utf8));
    }
}
