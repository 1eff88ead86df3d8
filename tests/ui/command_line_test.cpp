// The window program's command line: a path, --encrypt/--decrypt with
// theirs, --help/--version, Qt's own options passed over, and mistakes.
#include "ui/command_line.h"

#include <gtest/gtest.h>

#include <vector>

#include "format/language.h"
#include "tests/support/test_files.h"
#include "ui_logic_support.h"

namespace tazu::test {
namespace {

namespace fs = std::filesystem;
using Action = CommandLine::Action;
using Dialog = CommandLine::Dialog;

CommandLine Parse(std::vector<std::string> args) {
    args.insert(args.begin(), "tazu16x32");
    std::vector<const char*> argv;
    for (const std::string& a : args) {
        argv.push_back(a.c_str());
    }
    return ParseCommandLine(static_cast<int>(argv.size()), argv.data());
}

TEST(CommandLine, PathsAndDialogs) {
    TempFolder dir;
    const fs::path archive = dir.path() / "Docs.shf";
    WriteAll(archive, "x");
    const std::string folder_slash = dir.path().string() + "/";

    CommandLine none = Parse({});
    EXPECT_EQ(none.action, Action::kWindow);
    EXPECT_TRUE(none.object.empty());

    CommandLine plain = Parse({archive.string()});
    EXPECT_EQ(plain.action, Action::kWindow);
    EXPECT_EQ(plain.dialog, Dialog::kNone);
    EXPECT_EQ(plain.object, archive);

    CommandLine decrypt = Parse({"--decrypt", archive.string()});
    EXPECT_EQ(decrypt.dialog, Dialog::kDecrypt);
    EXPECT_EQ(decrypt.object, archive);

    CommandLine encrypt = Parse({"-platform", "offscreen", "--encrypt", folder_slash, "-reverse"});
    EXPECT_EQ(encrypt.action, Action::kWindow);
    EXPECT_EQ(encrypt.dialog, Dialog::kEncrypt);
    EXPECT_EQ(encrypt.object, dir.path());  // without the final "/"

    // A launcher without a file leaves the path out: the current folder.
    CommandLine bare = Parse({"--encrypt"});
    EXPECT_EQ(bare.dialog, Dialog::kEncrypt);
    EXPECT_TRUE(bare.object.empty());

    // A name that starts with "-" after "--", and a relative path.
    WriteAll(dir.path() / "-x.shf", "x");
    const fs::path current = fs::current_path();
    fs::current_path(dir.path());
    CommandLine dashed = Parse({"--", "-x.shf"});
    CommandLine relative = Parse({"Docs.shf"});
    fs::current_path(current);
    EXPECT_EQ(dashed.object, dir.path() / "-x.shf");
    EXPECT_EQ(relative.object, archive);
}

TEST(CommandLine, HelpVersionAndMistakes) {
    TempFolder dir;
    EXPECT_EQ(Parse({"--help"}).action, Action::kHelp);
    EXPECT_EQ(Parse({"-h", "--bogus"}).action, Action::kHelp);
    EXPECT_EQ(Parse({"--version"}).action, Action::kVersion);
    EXPECT_NE(CommandLineHelp().find("--decrypt ARCHIVE"), std::string::npos);
    EXPECT_NE(CommandLineHelp().find("open \"Шифрование\""), std::string::npos);
    // The dialogs by the titles an English-speaking user sees.
    SetLanguage(Language::kEnglish);
    const std::string english = CommandLineHelp();
    SetLanguage(Language::kRussian);
    EXPECT_NE(english.find("--encrypt PATH     open \"Encryption\""), std::string::npos);
    EXPECT_NE(english.find("--decrypt ARCHIVE  open \"Decryption\""), std::string::npos);
    EXPECT_FALSE(HasCyrillic(english)) << english;
    EXPECT_EQ(VersionText().rfind("tazu16x32 ", 0), 0u);

    const CommandLine missing = Parse({(dir.path() / "gone.shf").string()});
    EXPECT_EQ(missing.action, Action::kError);
    EXPECT_NE(missing.error.find("gone.shf"), std::string::npos);
    EXPECT_EQ(Parse({"--bogus"}).action, Action::kError);
    EXPECT_EQ(Parse({dir.path().string(), dir.path().string()}).action, Action::kError);
    EXPECT_EQ(Parse({"--encrypt", dir.path().string(), "--decrypt"}).action, Action::kError);
}

}  // namespace
}  // namespace tazu::test
