#include "cli/help.h"

#include <iostream>

#include "cli/command_line.h"
#include "cli/command_spec.h"
#include "cli/exit_status.h"
#include "format/language.h"

namespace tazu::cli {
namespace {

constexpr std::size_t kWidth = 80;
constexpr std::size_t kHelpColumn = 20;
// How far the first line of a usage, after "Usage: ", may run past the
// margin the wrapped lines keep.
constexpr std::size_t kFirstLineSlack = 7;

constexpr std::string_view kPasswordNote = TextKey(
    "  Без них пароль спрашивается на терминале без отображения; стандартный\n"
    "  ввод для него без спроса не читается.\n");
constexpr std::string_view kUsage = TextKey("Использование: ");

// "-q, --quiet" or "-o ARCHIVE".
std::string OptionWords(const OptionSpec& o) {
    std::string words;
    for (const std::string& n : OptionNames(o)) {
        words += (words.empty() ? "" : ", ") + n;
    }
    return o.value.empty() ? words : words + " " + std::string(Tr(o.value));
}

// The option's lines: its names, then its help from the help column on.
std::string OptionLines(const OptionSpec& o) {
    std::string text = "  " + OptionWords(o);
    const std::size_t width = DisplayWidth(text);
    text += width + 2 > kHelpColumn ? "\n" + std::string(kHelpColumn, ' ')
                                    : std::string(kHelpColumn - width, ' ');
    for (const char c : Tr(o.help)) {
        text += c;
        if (c == '\n') {
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

// The "[password options]" word of a usage line, or empty.
std::string_view GroupsWord(const CommandSpec& c) {
    if (c.password_options && c.keystore_options) {
        return Tr("[параметры пароля и файла ключа]");
    }
    if (c.password_options) {
        return Tr("[параметры пароля]");
    }
    return c.keystore_options ? Tr("[параметры файла ключа]") : std::string_view();
}

// "tazu16x32-cli encrypt SOURCE [-o ARCHIVE] ..." wrapped under its start,
// the line following "Usage: ".
std::string UsageLine(const CommandSpec& c) {
    const std::string head = std::string("tazu16x32-cli ") + c.name;
    std::vector<std::string> words;
    if (!c.operands.empty()) {
        words.emplace_back(Tr(c.operands));
    }
    for (const OptionSpec& o : c.options) {
        std::string w = OptionNames(o).back();
        words.push_back("[" + (o.value.empty() ? w : w + " " + std::string(Tr(o.value))) + "]");
    }
    if (const std::string_view groups = GroupsWord(c); !groups.empty()) {
        words.emplace_back(groups);
    }
    const std::size_t indent = head.size() + DisplayWidth(Tr(kUsage));
    std::string text = head;
    std::size_t column = indent - kFirstLineSlack;
    for (const std::string& w : words) {
        if (column + 1 + DisplayWidth(w) > kWidth - 2) {
            text += "\n" + std::string(indent, ' ');
            column = indent;
        }
        text += " " + w;
        column += 1 + DisplayWidth(w);
    }
    return text + "\n";
}

std::string GroupSections(const CommandSpec* c) {
    std::string text;
    if (c == nullptr || c->password_options) {
        text += std::string(Tr("\nПараметры пароля:\n")) + OptionBlock(PasswordOptions()) +
                std::string(Tr(kPasswordNote));
    }
    if (c == nullptr || c->keystore_options) {
        text += std::string(Tr("\nПараметры файла ключа:\n")) + OptionBlock(KeyStoreOptions());
    }
    return text;
}

}  // namespace

std::string GeneralHelp() {
    std::string text(
        Tr("Использование: tazu16x32-cli КОМАНДА [ПАРАМЕТРЫ]\n"
           "               tazu16x32-cli help КОМАНДА | КОМАНДА --help | --version\n"
           "\nКоманды:\n"));
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
    std::string text = std::string(Tr(kUsage)) + UsageLine(*c) + "\n" + std::string(Tr(c->summary));
    if (!c->options.empty()) {
        text += std::string(Tr("\nПараметры:\n")) + OptionBlock(c->options);
    }
    if (!c->notes.empty()) {
        text += Tr(c->notes);
    }
    return text + GroupSections(c) + "\n" + ExitStatusHelp();
}

int UsageError(const std::string& command, const std::string& error) {
    PrintError(error);
    if (const CommandSpec* c = FindCommand(command)) {
        std::cerr << Tr(kUsage) << UsageLine(*c)
                  << TrFill("Подробнее: tazu16x32-cli {} --help\n", {command});
    }
    return kExitUsage;
}

}  // namespace tazu::cli
