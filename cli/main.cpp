// tazu16x32-cli: the command-line companion of the program, for scripting,
// batch use and benchmarks. It uses the same engines and key store.
#include <iostream>
#include <string>
#include <vector>

#include "cipher/platform.h"
#include "cli/commands.h"
#include "cli/common.h"

namespace {

constexpr const char* kUsage =
    "Usage: tazu16x32-cli COMMAND [OPTIONS]\n"
    "\n"
    "Commands:\n"
    "  keystore-new [--protect] [--force] [--settings BYTE] [--keystore PATH]\n"
    "      make a first key store (a new personal code and key mark)\n"
    "  keystore-info [--keystore PATH]\n"
    "      show whether the key store loads, its switches and key mark\n"
    "  keystore-passwd [--keystore PATH]\n"
    "      set a new protection password (an empty one removes protection)\n"
    "  encrypt SOURCE [-o ARCHIVE] [--personal-code] [--sfx] [--force]\n"
    "      encrypt a file or a folder tree into one archive\n"
    "  decrypt ARCHIVE [-d DEST] [--on-exists ask|replace|skip|cancel]\n"
    "      extract an archive\n"
    "  verify ARCHIVE\n"
    "      read a whole archive and report damage without writing anything\n"
    "\n"
    "Password options (all commands that need one):\n"
    "  --password-stdin     read one line from standard input\n"
    "  --password-file F    use the bytes of file F\n"
    "  (otherwise the password is asked on the terminal without echo)\n"
    "\n"
    "The key store is Tazu16x32.key beside the program when one lies there, else\n"
    "$XDG_CONFIG_HOME/tazu16x32/Tazu16x32.key (default ~/.config/tazu16x32/);\n"
    "--keystore PATH names another.\n";

}  // namespace

int main(int argc, char** argv) {
    tazu::KeepSecretsOutOfCoreDumps();
    using namespace tazu::cli;
    if (argc < 2) {
        std::cerr << kUsage;
        return 2;
    }
    const std::string command = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    if (command == "--help" || command == "-h" || command == "help") {
        std::cout << kUsage;
        return 0;
    }
    if (command == "keystore-new")
        return RunKeystoreNew(args);
    if (command == "keystore-info")
        return RunKeystoreInfo(args);
    if (command == "keystore-passwd")
        return RunKeystorePasswd(args);
    if (command == "encrypt")
        return RunEncrypt(args);
    if (command == "decrypt")
        return RunDecrypt(args);
    if (command == "verify")
        return RunVerify(args);
    PrintError("unknown command " + command + " (see --help)");
    return 2;
}
