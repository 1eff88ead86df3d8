// What reaches a terminal of a name: control characters of every kind,
// the marks and overrides that turn text around, and bytes that are not
// UTF-8 are escaped, everything else is kept. The windows show the same.
#include <gtest/gtest.h>

#include "cli/command_line.h"

namespace tazu::test {
namespace {

using cli::Escaped;

TEST(Escaped, ControlCharactersOfEveryKind) {
    EXPECT_EQ(Escaped("a\x1b]0;title\x07z"), "a\\x1B]0;title\\x07z");
    EXPECT_EQ(Escaped("line\nnext\r\t\x7f"), "line\\x0Anext\\x0D\\x09\\x7F");
    EXPECT_EQ(Escaped("\xc2\x9b"
                      "31m"),
              "\\u{009B}31m");  // C1 CSI written in UTF-8
    EXPECT_EQ(Escaped("\x9b"
                      "31m"),
              "\\x9B31m");  // and as a bare byte
}

TEST(Escaped, DirectionMarksAndInvisibleCharacters) {
    EXPECT_EQ(Escaped("abc\u202Etxt.exe"), "abc\\u{202E}txt.exe");
    for (const char32_t c : {0x202A, 0x202B, 0x202C, 0x202D, 0x2066, 0x2067, 0x2068, 0x2069, 0x200E,
                             0x200F, 0x061C, 0x200B, 0x2028, 0xFEFF}) {
        std::string utf8;
        if (c < 0x800) {
            utf8 = {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
        } else {
            utf8 = {static_cast<char>(0xE0 | (c >> 12)),
                    static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                    static_cast<char>(0x80 | (c & 0x3F))};
        }
        char expected[16];
        std::snprintf(expected, sizeof expected, "\\u{%04X}", static_cast<unsigned>(c));
        EXPECT_EQ(Escaped("a" + utf8 + "b"), "a" + std::string(expected) + "b");
    }
}

TEST(Escaped, KeepsTextAndEscapesBrokenUtf8) {
    EXPECT_EQ(Escaped("Файл уже существует: a b.txt"), "Файл уже существует: a b.txt");
    EXPECT_EQ(Escaped("snow \xe2\x98\x83 \xf0\x9f\x98\x80"), "snow \xe2\x98\x83 \xf0\x9f\x98\x80");
    EXPECT_EQ(Escaped("\xe2\x98"), "\\xE2\\x98");           // cut sequence
    EXPECT_EQ(Escaped("\xc0\xaf"), "\\xC0\\xAF");           // overlong "/"
    EXPECT_EQ(Escaped("\xed\xa0\x80"), "\\xED\\xA0\\x80");  // a surrogate
    EXPECT_EQ(Escaped(std::string("a\0b", 3)), "a\\x00b");
}

}  // namespace
}  // namespace tazu::test
