#include "cli/help.h"

#include <iostream>

#include "cli/command_line.h"
#include "cli/exit_status.h"

namespace tazu::cli {
namespace {

struct CommandText {
    const char* name;
    const char* usage;    // the synopsis lines
    const char* details;  // what it does and its options
};

constexpr const char* kPasswordOptions =
    "  --password-stdin       read the password from the first line of standard input\n"
    "  --password-file F      the first line of file F, without its line end\n"
    "  --password-file-raw F  every byte of file F, as it is (a password of any bytes)\n"
    "  Without one of these the password is asked on the terminal without echo;\n"
    "  standard input is never read for it unasked.\n";

constexpr const char* kKeyStoreOptions =
    "  --keystore PATH        the key store (default: Tazu16x32.key beside the program)\n"
    "  --keystore-password-file F, --keystore-password-file-raw F\n"
    "                         the key store's protection password, as for --password-file\n";

constexpr CommandText kCommands[] = {
    {"encrypt",
     "tazu16x32-cli encrypt SOURCE [-o ARCHIVE] [--personal-code] [--sfx] [--force]\n"
     "                      [--for linux|windows] [--stub PATH] [--name NAME]\n"
     "                      [password and key store options]\n",
     "Encrypts a file or a folder tree (hidden files included) into one archive.\n"
     "  SOURCE            a file, a folder, or - for standard input (one file, stored\n"
     "                    as --name NAME, default \"stdin\"; needs -o)\n"
     "  -o ARCHIVE        the archive (default: a file's extension replaced by .shf,\n"
     "                    a folder's path + .shf; .exe with --sfx); - writes it to\n"
     "                    standard output. A symbolic link is written where it points;\n"
     "                    a device, FIFO or folder is refused.\n"
     "  --personal-code   also protect the entries with the key store's personal code\n"
     "                    (only then is the key store needed)\n"
     "  --sfx             put the self-decrypting stub Tazu16x32.SFX in front\n"
     "  --for SYSTEM      the system the self-decrypting file runs on: linux (the\n"
     "                    stub Tazu16x32.SFX) or windows (Tazu16x32.SFX.exe); default:\n"
     "                    the system this program runs on\n"
     "  --stub PATH       take the stub from PATH instead of the program's folder\n"
     "  --force           replace an existing archive without asking\n"},
    {"decrypt",
     "tazu16x32-cli decrypt ARCHIVE [NAME...] [-d DEST | --stdout] [--recover]\n"
     "                      [--on-exists ask|replace|skip|cancel] [--names bytes|cp1251]\n"
     "                      [password and key store options]\n",
     "Extracts an archive (- reads it from standard input) into DEST (default: the\n"
     "archive's folder; made when missing).\n"
     "  NAME...           extract only these entries; a folder selects its contents\n"
     "                    (names as list shows them; / and \\ alike)\n"
     "  --stdout          write the one file of a single-file archive (or the one\n"
     "                    NAME) to standard output; messages go to standard error\n"
     "  --on-exists WHAT  what to do with files that exist: ask (on a terminal, the\n"
     "                    default there), replace, skip (the default elsewhere), cancel\n"
     "  --names HOW       file names as stored (bytes, the default), or cp1251: names\n"
     "                    that are not UTF-8 are read as Windows-1251 and written as\n"
     "                    UTF-8 (archives made by older Windows copies)\n"
     "  --recover         where a damaged or cut entry would end the run, pass over it\n"
     "                    to the next entry that opens with the password and go on;\n"
     "                    each stretch passed over is reported (\"Skipped bytes\"), and\n"
     "                    a run that recovered ends with status 1\n"
     "The key store is read when it exists; entries made with the personal code need\n"
     "the one that made them.\n"},
    {"verify", "tazu16x32-cli verify ARCHIVE [--recover] [password and key store options]\n",
     "Reads the whole archive and reports what an extraction would report, writing\n"
     "nothing.\n"
     "  --recover         read on past damaged entries, as decrypt --recover does\n"},
    {"list", "tazu16x32-cli list ARCHIVE [password and key store options]\n",
     "Reads the whole archive, writing nothing, and prints one line per entry: its\n"
     "size in bytes, whether it uses the personal code (yes/no), whether it is intact\n"
     "(intact/damaged), and its stored name.\n"},
    {"keystore-new",
     "tazu16x32-cli keystore-new [--protect] [--force] [--settings BYTE] [--keystore PATH]\n"
     "                           [password options]\n",
     "Makes a key store with a new personal code and key mark. An existing store is\n"
     "replaced only with --force (and with it the personal code of its archives).\n"
     "  --protect         protect it with a password (the password options give it)\n"
     "  --settings BYTE   the settings byte, 0 to 255 or 0x00 to 0xFF (default 0x18)\n"},
    {"keystore-info",
     "tazu16x32-cli keystore-info [--keystore PATH] [--keystore-password-file F]\n",
     "Shows whether the key store loads, whether it is protected, its switches and\n"
     "its key mark (never the personal code).\n"},
    {"keystore-passwd",
     "tazu16x32-cli keystore-passwd [--keystore PATH] [key store password options]\n"
     "                              [password options]\n",
     "Sets a new protection password for the key store; an empty one removes the\n"
     "protection. The password options give the new password.\n"},
};

const CommandText* Find(const std::string& command) {
    for (const CommandText& c : kCommands) {
        if (command == c.name) {
            return &c;
        }
    }
    return nullptr;
}

bool TakesPassword(const std::string& command) {
    return command != "keystore-info";
}

bool TakesKeyStore(const std::string& command) {
    return command == "encrypt" || command == "decrypt" || command == "verify" || command == "list";
}

}  // namespace

std::string GeneralHelp() {
    std::string text =
        "Usage: tazu16x32-cli COMMAND [OPTIONS]\n"
        "       tazu16x32-cli help COMMAND | COMMAND --help | --version\n"
        "\nCommands:\n";
    for (const CommandText& c : kCommands) {
        text += std::string("  ") + c.usage;
    }
    text += "\nPassword options:\n";
    text += kPasswordOptions;
    text += "\nKey store options:\n";
    text += kKeyStoreOptions;
    text += "\n";
    text += kExitStatusHelp;
    return text;
}

std::string CommandHelp(const std::string& command) {
    const CommandText* c = Find(command);
    if (c == nullptr) {
        return {};
    }
    std::string text = std::string("Usage: ") + c->usage + "\n" + c->details;
    if (TakesPassword(command)) {
        text += std::string("\nPassword options:\n") + kPasswordOptions;
    }
    if (TakesKeyStore(command)) {
        text += std::string("\nKey store options:\n") + kKeyStoreOptions;
    }
    text += "\n";
    text += kExitStatusHelp;
    return text;
}

int UsageError(const std::string& command, const std::string& error) {
    PrintError(error);
    if (const CommandText* c = Find(command)) {
        std::cerr << "Usage: " << c->usage << "See: tazu16x32-cli " << command << " --help\n";
    }
    return kExitUsage;
}

}  // namespace tazu::cli
