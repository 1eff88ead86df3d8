// The help, the man page's synopsis and the bash completion name exactly the
// options the parser takes, read from the commands' one description.
#include <regex>
#include <set>

#include "cli/command_line.h"
#include "cli/command_spec.h"
#include "tests/cli/cli_run.h"

namespace tazu::test {
namespace {

using cli::AllOptions;
using cli::Commands;
using cli::CommandSpec;
using cli::OptionNames;
using cli::OptionSpec;
using Names = std::set<std::string>;

Names NamesOf(const std::vector<OptionSpec>& options) {
    Names names;
    for (const OptionSpec& o : options) {
        for (const std::string& n : OptionNames(o)) {
            names.insert(n);
        }
    }
    return names;
}

// The options written in a stretch of text ("-o", "--personal-code").
Names OptionsIn(std::string text) {
    for (std::size_t at = text.find("\\-"); at != std::string::npos; at = text.find("\\-", at)) {
        text.erase(at, 1);  // the man page's \- is a plain -
    }
    Names names;
    const std::regex option(R"((?:^|[\s\[|"])(--?[a-z][a-z0-9-]*))");
    for (std::sregex_iterator it(text.begin(), text.end(), option), end; it != end; ++it) {
        names.insert((*it)[1]);
    }
    return names;
}

std::string Between(const std::string& text, const std::string& from, const std::string& to) {
    const std::size_t start = text.find(from);
    EXPECT_NE(start, std::string::npos) << from;
    if (start == std::string::npos) {
        return {};
    }
    const std::size_t end = text.find(to, start + from.size());
    return text.substr(start + from.size(), end - start - from.size());
}

TEST(Description, TheManPageSynopsisListsEachCommandsOptions) {
    const std::string man = ReadFile(TAZU_MAN_PAGE);
    for (const CommandSpec& c : Commands()) {
        const std::string synopsis =
            Between(man, std::string(".B tazu16x32-cli ") + c.name + "\n", "\n.br\n");
        EXPECT_EQ(OptionsIn(synopsis), NamesOf(c.options)) << c.name;
    }
    EXPECT_EQ(OptionsIn(Between(man, ".SH PASSWORD OPTIONS", "\n.SH")),
              NamesOf(cli::PasswordOptions()));
    // The key store's password options are explained by the password options.
    Names key_store = NamesOf(cli::KeyStoreOptions());
    key_store.insert({"--password-file", "--password-file-raw"});
    EXPECT_EQ(OptionsIn(Between(man, ".SH KEY STORE OPTIONS", "\n.SH")), key_store);
}

TEST(Description, TheCompletionOffersEveryCommandAndOption) {
    const std::string completion = ReadFile(TAZU_COMPLETION);
    Names commands{"help"};
    for (const CommandSpec& c : Commands()) {
        commands.insert(c.name);
        const std::string options =
            Between(completion, std::string("\n        ") + c.name + ")\n", ";;");
        EXPECT_EQ(OptionsIn(options), NamesOf(AllOptions(c))) << c.name;
    }
    const std::string listed = Between(completion, "local commands=\"", "\"");
    Names offered;
    for (std::size_t at = 0; at < listed.size();) {
        const std::size_t space = std::min(listed.find(' ', at), listed.size());
        offered.insert(listed.substr(at, space - at));
        at = space + 1;
    }
    EXPECT_EQ(offered, commands);
}

class HelpText : public CliTest {};

TEST_F(HelpText, EachCommandsHelpShowsEveryOptionTheParserTakes) {
    for (const CommandSpec& c : Commands()) {
        const CliResult r = Cli(std::string(c.name) + " --help");
        ASSERT_EQ(r.status, 0) << c.name;
        const Names shown = OptionsIn(r.out);
        for (const OptionSpec& o : AllOptions(c)) {
            for (const std::string& name : OptionNames(o)) {
                EXPECT_EQ(shown.count(name), 1u) << c.name << " " << name;
                std::vector<std::string> words{name};
                if (!o.value.empty()) {
                    words.push_back("X");
                }
                const cli::Args args(c, words);
                EXPECT_TRUE(args.Ok() && args.Has(name)) << c.name << " " << name << args.Error();
            }
        }
    }
}

// Names that look like CLI11's list syntax are names like any other: found
// by the fuzzer, "[]" had vanished from the operands and "[a,b]" become two.
TEST(Description, OperandsAndValuesComeBackAsGiven) {
    const std::vector<std::string> names{"[a,b]", "[]", "{}", "\x01[x]", "[", "a]"};
    std::vector<std::string> words{"x.shf"};
    words.insert(words.end(), names.begin(), names.end());
    words.insert(words.end(), {"-d", "[d,e]", "--", "[f]"});
    const cli::Args args(*cli::FindCommand("decrypt"), words);
    ASSERT_TRUE(args.Ok()) << args.Error();
    std::vector<std::string> expected{"x.shf"};
    expected.insert(expected.end(), names.begin(), names.end());
    expected.push_back("[f]");
    EXPECT_EQ(args.Positional(), expected);
    EXPECT_EQ(args.Value("-d"), std::optional<std::string>("[d,e]"));
}

}  // namespace
}  // namespace tazu::test
