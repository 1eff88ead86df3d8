// What reaches a terminal of a name: control characters of every kind and
// bytes that are not UTF-8 are escaped, everything else is kept.
#include <gtest/gtest.h>

#include "cli/command_line.h"

namespace tazu::test {
namespace {

using cli::Escaped;

TEST(Escaped, ControlCharactersOfEveryKind) {
    EXPECT_EQ(Escaped("a\x1b]0;title\x07z"), "a\\x1b]0;title\\x07z");
    EXPECT_EQ(Escaped("line\nnext\r\t\x7f"), "line\\x0anext\\x0d\\x09\\x7f");
    EXPECT_EQ(Escaped("\xc2\x9b"
                      "31m"),
              "\\xc2\\x9b31m");  // C1 CSI written in UTF-8
    EXPECT_EQ(Escaped("\x9b"
                      "31m"),
              "\\x9b31m");  // and as a bare byte
}

TEST(Escaped, KeepsTextAndEscapesBrokenUtf8) {
    EXPECT_EQ(Escaped("Файл уже существует: a b.txt"), "Файл уже существует: a b.txt");
    EXPECT_EQ(Escaped("snow \xe2\x98\x83 \xf0\x9f\x98\x80"), "snow \xe2\x98\x83 \xf0\x9f\x98\x80");
    EXPECT_EQ(Escaped("\xe2\x98"), "\\xe2\\x98");           // cut sequence
    EXPECT_EQ(Escaped("\xc0\xaf"), "\\xc0\\xaf");           // overlong "/"
    EXPECT_EQ(Escaped("\xed\xa0\x80"), "\\xed\\xa0\\x80");  // a surrogate
    EXPECT_EQ(Escaped(std::string("a\0b", 3)), "a\\x00b");
}

}  // namespace
}  // namespace tazu::test
