// Stored names across systems: the Windows-1251 names of archives made by
// older Windows copies, and the names Windows cannot take as they stand
// (devices, streams, names it would alter), which must never write
// anything, inside or outside the destination.
#include "decrypt/output_target.h"
#include "io/native.h"
#include "tests/decrypt/decrypt_fixture.h"

namespace tazu::test {
namespace {

#if defined(_WIN32)
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

TEST(Names, Cp1251ReadsAsWindowsDoes) {
    EXPECT_EQ(Cp1251ToUtf8("\xcf\xf0\xe8\xe2\xe5\xf2 \xec\xe8\xf0.txt"), "Привет мир.txt");
    EXPECT_EQ(Cp1251ToUtf8("\xa8\xb8\xb9\xab\xbb\x96\x88"), "Ёё№«»–€");
    EXPECT_EQ(Cp1251ToUtf8("\xc0\xdf\xe0\xff"), "АЯая");
    EXPECT_EQ(Cp1251ToUtf8("plain/ASCII\\name"), "plain/ASCII\\name");
    EXPECT_EQ(Cp1251ToUtf8("\x98"), "\xc2\x98");  // no character: kept as U+0098
}

TEST(Names, Utf8IsCheckedStrictly) {
    for (const std::string good : {"", "abc", "Привет", "\xf0\x9f\x98\x80", "\xe2\x82\xac"}) {
        EXPECT_TRUE(IsValidUtf8(good)) << good;
    }
    for (const std::string bad : {"\xcf\xf0\xe8", "\xd0", "\xc0\xaf", "\xe0\x80\xaf",
                                  "\xed\xa0\x80", "\xf4\x90\x80\x80", "\xff", "a\x80"}) {
        EXPECT_FALSE(IsValidUtf8(bad)) << bad;
    }
}

TEST(Names, WindowsRefusesDevicesStreamsAndNamesItWouldChange) {
    std::vector<std::string> parts;
    for (const std::string name :
         {"CON", "nul.txt", "Com1", "LPT9.log", "aux .txt", "PRN", "CONIN$", "ab:c", "x.txt:evil",
          "trailing.", "trailing ", "a*b", "q?", "pipe|", "lt<", "quote\"", "tab\tname"}) {
        EXPECT_EQ(SplitStoredName(Str255("\\Docs\\" + name), parts), !kWindows) << name;
        EXPECT_EQ(SplitStoredName(Str255(name + "\\inner.txt"), parts), !kWindows) << name;
    }
    for (const std::string name : {"CONFIG.SYS", "nullish", "COM10", "LPT", "a.b.c", ".hidden"}) {
        EXPECT_TRUE(SplitStoredName(Str255("\\Docs\\" + name), parts)) << name;
    }
}

TEST_F(DecryptFixture, HostileWindowsNamesNeverWriteAnything) {
    const std::vector<std::string> names = {
        "C:\\x",        "c:x",      "\\\\server\\share\\x", "\\..\\x", "CON", "NUL.txt",
        "\\Docs\\com1", "x:stream", "\\Docs\\a.txt:hidden", "..\\x",   "x."};
    std::vector<StoredFile> files;
    for (const std::string& name : names) {
        files.push_back({name, "evil"});
    }
    files.push_back({"ok", "fine"});
    SeededRandom random(19);
    EXPECT_EQ(Run(WriteArchive(7, Password(), files, random)), DecryptCode::kEndOfData);
    const Files output = Output();
    if (kWindows) {
        EXPECT_EQ(output, (Files{{"ok", "fine"}}));
        ASSERT_EQ(host.report.size(), names.size());
        for (std::size_t i = 0; i < names.size(); ++i) {
            EXPECT_EQ(host.report[i], "-) Файл: " + names[i] + " - пропущен, недопустимое имя");
        }
    } else {
        // Device and stream names are plain names here; they stay inside.
        EXPECT_EQ(output.size(), 6u);
    }
    // Nothing beside the destination but the archive and the sentinel.
    std::size_t beside = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        beside += entry.path() != dest() ? 1 : 0;
    }
    EXPECT_EQ(beside, 2u);
}

TEST_F(DecryptFixture, Cp1251NamesBecomeTheirCyrillicNames) {
    SeededRandom random(20);
    const std::string archive = WriteArchive(
        7, Password(), {{"\\\xcf\xe0\xef\xea\xe0\\\xd4\xe0\xe9\xeb.txt", "old windows"}}, random);
    // Windows reads such names as Windows-1251 always; elsewhere when asked.
    state.cp1251_names = !kWindows;
    EXPECT_EQ(Run(archive), DecryptCode::kEndOfData);
    EXPECT_EQ(Output(), (Files{{"Папка/Файл.txt", "old windows"}}));
    EXPECT_TRUE(host.report.empty());
}

TEST_F(DecryptFixture, Utf8NamesAreNotConverted) {
    SeededRandom random(21);
    state.cp1251_names = true;
    EXPECT_EQ(Run(WriteArchive(7, Password(), {{"\\Папка\\Файл.txt", "new"}}, random)),
              DecryptCode::kEndOfData);
    EXPECT_EQ(Output(), (Files{{"Папка/Файл.txt", "new"}}));
}

}  // namespace
}  // namespace tazu::test
