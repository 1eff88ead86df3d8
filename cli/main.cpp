// tazu16x32-cli: the command-line companion of the program, for scripting,
// batch use and benchmarks. It uses the same engines and key store.
#include <iostream>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/command_spec.h"
#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/help.h"
#include "format/language.h"
#include "program/process.h"
#include "terminal/terminal.h"

namespace {

using Command = int (*)(const tazu::cli::Args&);

struct Entry {
    const char* name;
    Command run;
};

constexpr Entry kCommands[] = {
    {"keystore-new", tazu::cli::RunKeystoreNew},
    {"keystore-info", tazu::cli::RunKeystoreInfo},
    {"keystore-passwd", tazu::cli::RunKeystorePasswd},
    {"encrypt", tazu::cli::RunEncrypt},
    {"decrypt", tazu::cli::RunDecrypt},
    {"verify", tazu::cli::RunVerify},
    {"list", tazu::cli::RunList},
    {"password", tazu::cli::RunPassword},
};

Command Find(const std::string& name) {
    for (const Entry& e : kCommands) {
        if (name == e.name) {
            return e.run;
        }
    }
    return nullptr;
}

// "unknown command X", with the nearest command's name when one is close.
int UnknownCommand(const std::string& name) {
    std::vector<std::string> names;
    for (const tazu::cli::CommandSpec& c : tazu::cli::Commands()) {
        names.push_back(c.name);
    }
    std::string error = tazu::TrFill("неизвестная команда {}", {name});
    if (const std::string near = tazu::cli::Nearest(name, names); !near.empty()) {
        error += tazu::TrFill(" (может быть, {}?)", {near});
    }
    tazu::cli::PrintError(error + std::string(tazu::Tr(" (см. --help)")));
    return tazu::cli::kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    tazu::KeepSecretsOutOfCoreDumps();
    tazu::SetLanguage(tazu::LanguageFromEnvironment());
    using namespace tazu::cli;
    const std::vector<std::string> arguments = tazu::terminal::ProgramArguments(argc, argv);
    if (arguments.size() < 2) {
        std::cerr << GeneralHelp();
        return kExitUsage;
    }
    const std::string command = arguments[1];
    const std::vector<std::string> args(arguments.begin() + 2, arguments.end());
    if (command == "--version" || command == "-V") {
        std::cout << "tazu16x32-cli " TAZU_VERSION "\n";
        return kExitOk;
    }
    if (command == "--help" || command == "-h" || command == "help") {
        if (command == "help" && !args.empty()) {
            const std::string text = CommandHelp(args[0]);
            if (text.empty()) {
                return UnknownCommand(args[0]);
            }
            std::cout << text;
            return kExitOk;
        }
        std::cout << GeneralHelp();
        return kExitOk;
    }
    const CommandSpec* spec = FindCommand(command);
    const Command run = Find(command);
    if (spec == nullptr || run == nullptr) {
        return UnknownCommand(command);
    }
    const Args parsed(*spec, args);
    if (parsed.Help()) {
        std::cout << CommandHelp(command);
        return kExitOk;
    }
    if (!parsed.Ok()) {
        return UsageError(command, parsed.Error());
    }
    if (parsed.Positional().size() < spec->min_operands ||
        parsed.Positional().size() > spec->max_operands) {
        const std::string operands(tazu::Tr(spec->operands));
        return UsageError(command,
                          spec->max_operands == 0
                              ? tazu::TrFill("лишний аргумент {}", {parsed.Positional().front()})
                          : spec->max_operands == 1
                              ? tazu::TrFill("{} принимает один {}", {command, operands})
                              : tazu::TrFill("{} принимает {}", {command, operands}));
    }
    const int status = run(parsed);
    // A listing or report that did not reach standard output (a full disk,
    // /dev/full) is a failed run, not a complete one.
    std::cout.flush();
    if (!std::cout && (status == kExitOk || status == kExitIncomplete)) {
        PrintError(std::string(tazu::Tr("не удалось записать на стандартный вывод")));
        return kExitWriteFailed;
    }
    return status;
}
