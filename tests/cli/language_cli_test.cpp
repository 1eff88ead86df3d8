// The command line and the stub in one language: a whole run, its report
// lines, its errors and its help included, shows no Russian text under an
// English locale, and no English sentence of the program's in the C locale
// (where they speak Russian).
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <string>

#include "tests/cli/cli_run.h"

namespace tazu::test {
namespace {

namespace fs = std::filesystem;

// Whether a word of a line is a word of an English sentence: Latin letters
// only, once the punctuation around it is dropped. Options, paths and file
// names, the program's name, numbers and quoted texts are not.
bool EnglishWord(std::string word) {
    if (word.find_first_of("\"/\\.=_0123456789") != std::string::npos) {
        return false;
    }
    const std::size_t first = word.find_first_not_of("([");
    const std::size_t last = word.find_last_not_of(")]:;,?!");
    if (first == std::string::npos || last == std::string::npos || first > last) {
        return false;
    }
    word = word.substr(first, last - first + 1);
    return std::all_of(word.begin(), word.end(),
                       [](char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; });
}

// The first two English words in a row in line, or empty.
std::string EnglishPhrase(const std::string& line) {
    std::string previous;
    std::size_t at = 0;
    while (at < line.size()) {
        const std::size_t end = std::min(line.find(' ', at), line.size());
        const std::string word = line.substr(at, end - at);
        const bool english = EnglishWord(word);
        if (english && !previous.empty()) {
            return previous + " " + word;
        }
        previous = english ? word : "";
        at = end + 1;
    }
    return {};
}

class LanguageRun : public CliTest {
  protected:
    LanguageRun() {
        fs::create_directories(dir / "D" / "S");
        WriteFile(dir / "D" / "a.txt", "alpha");
        WriteFile(dir / "D" / "S" / "big", std::string(20000, 'b'));
        WriteFile(dir / "other", "not pw\n");
    }

    // A whole session, each command's outputs under its name: a run that
    // reports a file it cannot read, extractions, a second one that finds
    // the files there, verify and list, a wrong password, a damaged
    // archive, missing files, usage errors and the help.
    std::map<std::string, CliResult> Session() {
        std::map<std::string, CliResult> r;
        EXPECT_EQ(::mkfifo((dir / "D" / "fifo").c_str(), 0600), 0);  // cannot be read
        r["encrypt"] = Cli("encrypt D " + Pw());
        r["decrypt"] = Cli("decrypt D.shf -d out " + Pw());
        r["decrypt again"] = Cli("decrypt D.shf -d out " + Pw());
        r["verify"] = Cli("verify D.shf D.shf " + Pw());
        r["list"] = Cli("list D.shf " + Pw());
        r["wrong password"] = Cli("decrypt D.shf -d out2 --password-file other");
        r["encrypt again"] = Cli("encrypt D " + Pw());
        std::string bytes = ReadFile(dir / "D.shf");
        bytes[bytes.size() - 10000] ^= 0x20;  // inside the data blocks of "big"
        WriteFile(dir / "D.shf", bytes);
        r["verify damaged"] = Cli("verify D.shf " + Pw());
        r["list damaged"] = Cli("list D.shf " + Pw());
        r["encrypt missing"] = Cli("encrypt gone.txt " + Pw());
        r["decrypt missing"] = Cli("decrypt nothing.shf " + Pw());
        r["no key store"] = Cli("keystore-info --keystore none.key");
        r["unknown option"] = Cli("encrypt D --bogus " + Pw());
        r["no value"] = Cli("decrypt D.shf -d");
        r["unknown command"] = Cli("lst D.shf");
        r["help"] = Cli("--help");
        for (const char* command : {"encrypt", "decrypt", "verify", "list", "keystore-new",
                                    "keystore-info", "keystore-passwd", "password"}) {
            r[std::string(command) + " --help"] = Cli(std::string(command) + " --help");
        }
        return r;
    }
};

TEST_F(LanguageRun, EnglishRunsShowNoRussian) {
    SpeakEnglish();
    std::map<std::string, CliResult> r = Session();
    for (const auto& [name, result] : r) {
        EXPECT_FALSE(HasCyrillic(result.out + result.err)) << name << "\n"
                                                           << result.out << result.err;
    }
    EXPECT_EQ(r["encrypt"].status, 1) << r["encrypt"].err;
    EXPECT_NE(r["encrypt"].out.find("fifo - skipped, read error."), std::string::npos);
    EXPECT_NE(r["encrypt"].out.find("Encryption completed successfully"), std::string::npos);
    EXPECT_EQ(r["decrypt"].status, 0) << r["decrypt"].err;
    EXPECT_EQ(r["decrypt"].out, "Decryption completed successfully\n");
    EXPECT_EQ(r["decrypt"].err, "Personal code: No\n");
    EXPECT_NE(r["decrypt again"].out.find("a.txt - skipped, already exists"), std::string::npos);
    EXPECT_NE(r["verify"].out.find("D.shf: 0 complete, every file intact"), std::string::npos);
    EXPECT_NE(r["list"].out.find("  no   intact   \\D\\a.txt"), std::string::npos) << r["list"].out;
    EXPECT_EQ(r["wrong password"].status, 8);
    EXPECT_NE(r["wrong password"].err.find("Wrong password"), std::string::npos);
    EXPECT_NE(r["encrypt again"].err.find("D.shf exists; --force replaces it"), std::string::npos);
    EXPECT_EQ(r["verify damaged"].status, 1);
    EXPECT_NE(r["verify damaged"].out.find("big - damaged"), std::string::npos);
    EXPECT_NE(r["unknown option"].err.find("unknown option --bogus\nUsage: tazu16x32-cli encrypt"),
              std::string::npos);
    EXPECT_NE(r["no value"].err.find("-d needs a value"), std::string::npos);
}

TEST_F(LanguageRun, RussianRunsShowNoEnglishSentence) {
    std::map<std::string, CliResult> r = Session();
    for (const auto& [name, result] : r) {
        const std::string all = result.out + result.err;
        for (std::size_t at = 0; at < all.size(); at = all.find('\n', at) + 1) {
            const std::string line = all.substr(at, all.find('\n', at) - at);
            EXPECT_EQ(EnglishPhrase(line), "") << name << ": " << line;
        }
    }
    EXPECT_EQ(r["decrypt"].err, "Персональный код: Нет\n");
    EXPECT_NE(r["list"].out.find("  нет  цел        \\D\\a.txt"), std::string::npos)
        << r["list"].out;
    EXPECT_NE(r["list damaged"].out.find("  нет  поврежден  \\D\\S\\big"), std::string::npos)
        << r["list damaged"].out;
    EXPECT_NE(r["encrypt again"].err.find("D.shf уже существует; --force заменит его"),
              std::string::npos);
    EXPECT_NE(r["unknown option"].err.find("неизвестный параметр --bogus\nИспользование: "),
              std::string::npos);
    EXPECT_NE(r["no value"].err.find("после -d нужно значение"), std::string::npos);
    EXPECT_NE(r["unknown command"].err.find("неизвестная команда lst (может быть, list?)"),
              std::string::npos);
    EXPECT_NE(r["decrypt missing"].err.find("nothing.shf: нет такого файла или папки"),
              std::string::npos);
    // The rule catches an English sentence among Russian ones.
    EXPECT_EQ(EnglishPhrase("tazu16x32-cli: D.shf exists; --force replaces it"), "replaces it");
    EXPECT_EQ(EnglishPhrase("Personal code: Нет"), "Personal code:");
    EXPECT_EQ(EnglishPhrase("tazu16x32-cli: не удалось прочитать a.txt: No such file"), "No such");
}

TEST_F(LanguageRun, TheStubSpeaksEnglishToo) {
    ASSERT_EQ(Cli("encrypt D " + Pw()).status, 0);
    const auto shown = [](const CliResult& r) {
        EXPECT_FALSE(HasCyrillic(r.out + r.err)) << r.out << r.err;
        return r.out + r.err;
    };
    const std::string stub = "LC_ALL=en_US.UTF-8 " + Q(TAZU_STUB_PATH);
    CliResult r = Shell(stub + " /filr:D.shf /parh:out", "pw\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(shown(r).find("Decryption completed successfully"), std::string::npos);
    r = Shell(stub + " /filr:D.shf /parh:out", "wrong\n");
    EXPECT_NE(shown(r).find("Wrong password"), std::string::npos);
    r = Shell(stub + " /filr:D.shf /parh:out2", "");
    EXPECT_NE(shown(r).find("no password on standard input"), std::string::npos);
    r = Shell(stub + " /help");
    EXPECT_NE(shown(r).find("decrypts a self-decrypting file"), std::string::npos);
    EXPECT_NE(shown(Shell(stub)).find("No encrypted data found"), std::string::npos);
    // The same stub in the C locale keeps its Russian, its own messages too.
    EXPECT_TRUE(HasCyrillic(Shell(Q(TAZU_STUB_PATH) + " /help").err));
    r = Shell(Q(TAZU_STUB_PATH) + " /filr:D.shf /parh:out2", "");
    EXPECT_NE(r.err.find("Пароль не прочитан: на стандартном вводе нет пароля"), std::string::npos)
        << r.err;
}

}  // namespace
}  // namespace tazu::test
