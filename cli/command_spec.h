// The one description of every command of tazu16x32-cli: its operands, its
// options and their help. The texts are source texts (see format/language.h),
// shown through Tr(). The parser, the help texts and the checks of the
// man page and the bash completion all read it, so they cannot drift apart.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tazu::cli {

struct OptionSpec {
    // The option's names, comma separated: "-o", "--stdout", "-q,--quiet".
    const char* names;
    // The value's placeholder ("АРХИВ", "ARCHIVE" in English), or empty for
    // a switch.
    std::string_view value;
    // Its help, one or more lines (without the leading columns).
    std::string_view help;
};

// max_operands of a command that takes any number.
constexpr unsigned kAnyNumber = 0xFFFFFFFFu;

struct CommandSpec {
    const char* name;
    // The operands as the usage line shows them: "ИСТОЧНИК", "АРХИВ [ИМЯ...]"
    // ("SOURCE", "ARCHIVE [NAME...]" in English).
    std::string_view operands;
    // Fewest and most operands.
    unsigned min_operands;
    unsigned max_operands;
    // What the command does, before its options.
    std::string_view summary;
    std::vector<OptionSpec> options;  // its own options
    bool password_options;            // --password-stdin, --password-file, --password-file-raw
    bool keystore_options;            // --keystore and the key store's password options
    std::string_view notes;           // after the options, or empty
};

// Every command, in the order the general help shows them.
const std::vector<CommandSpec>& Commands();
const CommandSpec* FindCommand(const std::string& name);

// The shared option groups.
const std::vector<OptionSpec>& PasswordOptions();
const std::vector<OptionSpec>& KeyStoreOptions();

// Every option a command takes, its own and those of its groups.
std::vector<OptionSpec> AllOptions(const CommandSpec& command);

// The separate names of an option ("-q,--quiet": "-q" and "--quiet").
std::vector<std::string> OptionNames(const OptionSpec& option);

}  // namespace tazu::cli
