#include "cli/help.h"

#include <iostream>

#include "cli/command_line.h"
#include "cli/command_spec.h"
#include "cli/exit_status.h"

namespace tazu::cli {
namespace {

constexpr std::size_t kWidth = 80;
constexpr std::size_t kHelpColumn = 20;

constexpr const char* kPasswordNote =
    "  Without one of these the password is asked on the terminal without echo;\n"
    "  standard input is never read for it unasked.\n";

// "-q, --quiet" or "-o ARCHIVE".
std::string OptionWords(const OptionSpec& o) {
    std::string words;
    for (const std::string& n : OptionNames(o)) {
        words += (words.empty() ? "" : ", ") + n;
    }
    return o.value != nullptr ? words + " " + o.value : words;
}

// The option's lines: its names, then its help from the help column on.
std::string OptionLines(const OptionSpec& o) {
    std::string text = "  " + OptionWords(o);
    text += text.size() + 2 > kHelpColumn ? "\n" + std::string(kHelpColumn, ' ')
                                          : std::string(kHelpColumn - text.size(), ' ');
    for (const char* c = o.help; *c != '\0'; ++c) {
        text += *c;
        if (*c == '\n') {
            text += std::string(kHelpColumn, ' ');
        }
    }
    return text + "\n";
}

std::string OptionBlock(const std::vector<OptionSpec>& options) {
    std::string text;
    for (const OptionSpec& o : options) {
        text += OptionLines(o);
    }
    return text;
}

// "tazu16x32-cli encrypt SOURCE [-o ARCHIVE] ..." wrapped under its start.
std::string UsageLine(const CommandSpec& c) {
    const std::string head = std::string("tazu16x32-cli ") + c.name;
    std::vector<std::string> words;
    if (*c.operands != '\0') {
        words.push_back(c.operands);
    }
    for (const OptionSpec& o : c.options) {
        std::string w = OptionNames(o).back();
        words.push_back("[" + (o.value != nullptr ? w + " " + o.value : w) + "]");
    }
    if (c.password_options || c.keystore_options) {
        words.push_back(std::string("[") + (c.password_options ? "password" : "") +
                        (c.password_options && c.keystore_options ? " and " : "") +
                        (c.keystore_options ? "key store" : "") + " options]");
    }
    std::string text = head;
    std::size_t column = head.size();
    for (const std::string& w : words) {
        if (column + 1 + w.size() > kWidth - 2) {
            text += "\n" + std::string(head.size() + 7, ' ');
            column = head.size() + 7;
        }
        text += " " + w;
        column += 1 + w.size();
    }
    return text + "\n";
}

std::string GroupSections(const CommandSpec* c) {
    std::string text;
    if (c == nullptr || c->password_options) {
        text += "\nPassword options:\n" + OptionBlock(PasswordOptions()) + kPasswordNote;
    }
    if (c == nullptr || c->keystore_options) {
        text += "\nKey store options:\n" + OptionBlock(KeyStoreOptions());
    }
    return text;
}

}  // namespace

std::string GeneralHelp() {
    std::string text =
        "Usage: tazu16x32-cli COMMAND [OPTIONS]\n"
        "       tazu16x32-cli help COMMAND | COMMAND --help | --version\n"
        "\nCommands:\n";
    for (const CommandSpec& c : Commands()) {
        text += "  " + UsageLine(c);
    }
    return text + GroupSections(nullptr) + "\n" + ExitStatusHelp();
}

std::string CommandHelp(const std::string& command) {
    const CommandSpec* c = FindCommand(command);
    if (c == nullptr) {
        return {};
    }
    std::string text = "Usage: " + UsageLine(*c) + "\n" + c->summary;
    if (!c->options.empty()) {
        text += "\nOptions:\n" + OptionBlock(c->options);
    }
    if (c->notes != nullptr) {
        text += c->notes;
    }
    return text + GroupSections(c) + "\n" + ExitStatusHelp();
}

int UsageError(const std::string& command, const std::string& error) {
    PrintError(error);
    if (const CommandSpec* c = FindCommand(command)) {
        std::cerr << "Usage: " << UsageLine(*c) << "See: tazu16x32-cli " << command << " --help\n";
    }
    return kExitUsage;
}

}  // namespace tazu::cli
