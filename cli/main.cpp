// tazu16x32-cli: the command-line companion of the program, for scripting,
// batch use and benchmarks. It uses the same engines and key store.
#include <iostream>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/help.h"
#include "program/process.h"
#include "terminal/terminal.h"

namespace {

using Command = int (*)(const std::vector<std::string>&);

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
};

// "--help" or "-h" among the options (before a "--").
bool AsksForHelp(const std::vector<std::string>& args) {
    for (const std::string& a : args) {
        if (a == "--") {
            return false;
        }
        if (a == "--help" || a == "-h") {
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    tazu::KeepSecretsOutOfCoreDumps();
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
                PrintError("unknown command " + args[0] + " (see --help)");
                return kExitUsage;
            }
            std::cout << text;
            return kExitOk;
        }
        std::cout << GeneralHelp();
        return kExitOk;
    }
    for (const Entry& e : kCommands) {
        if (command == e.name) {
            if (AsksForHelp(args)) {
                std::cout << CommandHelp(command);
                return kExitOk;
            }
            return e.run(args);
        }
    }
    PrintError("unknown command " + command + " (see --help)");
    return kExitUsage;
}
