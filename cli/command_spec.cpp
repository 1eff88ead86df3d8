#include "cli/command_spec.h"

#include <algorithm>

namespace tazu::cli {
namespace {

const OptionSpec kQuiet{"-q,--quiet", nullptr,
                        "print errors only: no report of a complete run, no personal-code\n"
                        "line, no progress"};
const OptionSpec kJson{"--json", nullptr,
                       "print one JSON document on standard output instead of lines\n"
                       "(see the man page)"};
const OptionSpec kRecover{"--recover", nullptr,
                          "where a damaged or cut entry would end the run, pass over it\n"
                          "to the next entry that opens with the password and go on;\n"
                          "each stretch passed over is reported (\"Skipped bytes\"), and\n"
                          "a run that recovered ends with status 1"};

std::vector<CommandSpec> MakeCommands() {
    std::vector<CommandSpec> c;
    c.push_back({"encrypt",
                 "SOURCE",
                 1,
                 1,
                 "Encrypts a file or a folder tree (hidden files included) into one archive.\n"
                 "  SOURCE            a file, a folder, or - for standard input (one file, stored\n"
                 "                    as --name NAME, default \"stdin\"; needs -o)\n",
                 {{"-o", "ARCHIVE",
                   "the archive (default: a file's extension replaced by .shf,\n"
                   "a folder's path + .shf; .exe with --sfx); - writes it to\n"
                   "standard output. A symbolic link is written where it points;\n"
                   "a device, FIFO or folder is refused."},
                  {"--personal-code", nullptr,
                   "also protect the entries with the key store's personal code\n"
                   "(only then is the key store needed)"},
                  {"--sfx", nullptr, "put the self-decrypting stub Tazu16x32.SFX in front"},
                  {"--for", "SYSTEM",
                   "the system the self-decrypting file runs on: linux (the\n"
                   "stub Tazu16x32.SFX) or windows (Tazu16x32.SFX.exe); default:\n"
                   "the system this program runs on"},
                  {"--stub", "PATH", "take the stub from PATH instead of the program's folder"},
                  {"--name", "NAME", "the stored name of standard input (encrypt -)"},
                  {"-f,--force", nullptr, "replace an existing archive without asking"},
                  {"--remove-source", nullptr,
                   "when the archive is complete, read it back and check every\n"
                   "entry against what was stored; only then remove the files\n"
                   "stored (never a skipped file or one changed while read) and\n"
                   "the folders left empty. Any doubt keeps every source and\n"
                   "gives a non-zero status. Removal is not secure deletion: the\n"
                   "files' contents may remain on the disk."},
                  kQuiet},
                 true,
                 true,
                 nullptr});
    c.push_back({"decrypt",
                 "ARCHIVE [NAME...]",
                 1,
                 kAnyNumber,
                 "Extracts an archive (- reads it from standard input) into DEST (default: the\n"
                 "archive's folder; made when missing).\n"
                 "  NAME...           extract only these entries; a folder selects its contents.\n"
                 "                    A name as list shows it (escaped), as raw bytes, with / or\n"
                 "                    \\ alike; * and ? match any run of characters / any one\n",
                 {{"-d", "DEST", "the folder to extract into"},
                  {"--stdout", nullptr,
                   "write the one file of a single-file archive (or the one\n"
                   "NAME) to standard output; messages go to standard error"},
                  {"--on-exists", "WHAT",
                   "what to do with files that exist: ask (on a terminal, the\n"
                   "default there), replace, skip (the default elsewhere), cancel"},
                  {"--names", "HOW",
                   "file names as stored (bytes, the default), or cp1251: names\n"
                   "that are not UTF-8 are read as Windows-1251 and written as\n"
                   "UTF-8 (archives made by older Windows copies)"},
                  kRecover,
                  kQuiet},
                 true,
                 true,
                 "The key store is read when it exists; entries made with the personal code need\n"
                 "the one that made them.\n"});
    c.push_back({"verify",
                 "ARCHIVE...",
                 1,
                 kAnyNumber,
                 "Reads each archive in turn and reports what an extraction would report,\n"
                 "writing nothing; a line per archive ends its report. The status is the\n"
                 "worst of the archives'.\n",
                 {{"--recover", nullptr, "read on past damaged entries, as decrypt --recover does"},
                  kQuiet,
                  kJson},
                 true,
                 true,
                 nullptr});
    c.push_back({"list",
                 "ARCHIVE...",
                 1,
                 kAnyNumber,
                 "Reads each archive in turn, writing nothing, and prints one line per entry:\n"
                 "its size in bytes, whether it uses the personal code (yes/no), whether it is\n"
                 "intact (intact/damaged), and its stored name. The status is the worst of\n"
                 "the archives'.\n",
                 {kQuiet, kJson},
                 true,
                 true,
                 nullptr});
    c.push_back(
        {"keystore-new",
         "",
         0,
         0,
         "Makes a key store with a new personal code and key mark. An existing store is\n"
         "replaced only with --force (and with it the personal code of its archives).\n",
         {{"--protect", nullptr, "protect it with a password (the password options give it)"},
          {"--settings", "BYTE", "the settings byte, 0 to 255 or 0x00 to 0xFF (default 0x18)"},
          {"-f,--force", nullptr, "replace an existing key store"},
          {"--keystore", "PATH", "the key store (default: Tazu16x32.key beside the program)"}},
         true,
         false,
         nullptr});
    c.push_back({"keystore-info",
                 "",
                 0,
                 0,
                 "Shows whether the key store loads, whether it is protected, its switches and\n"
                 "its key mark (never the personal code).\n",
                 {},
                 false,
                 true,
                 nullptr});
    c.push_back({"keystore-passwd",
                 "",
                 0,
                 0,
                 "Sets a new protection password for the key store; an empty one removes the\n"
                 "protection. The password options give the new password.\n",
                 {kQuiet},
                 true,
                 true,
                 nullptr});
    c.push_back({"password",
                 "",
                 0,
                 0,
                 "Says how long the password would hold against an offline guessing attack on\n"
                 "an archive: the guesses it needs, and the time on one core of this computer\n"
                 "(its guessing speed is measured first) and for an attacker with 100 times\n"
                 "that speed. encrypt and keystore-passwd warn on standard error about a weak\n"
                 "password (unless --quiet).\n",
                 {{"--generate", nullptr,
                   "print a passphrase of words drawn at random from the EFF\n"
                   "large word list (7776 words) instead"},
                  {"--words", "N",
                   "its number of words, 1 to 24 (default 6: over 1000 years\n"
                   "for that attacker)"}},
                 true,
                 false,
                 nullptr});
    return c;
}

}  // namespace

const std::vector<CommandSpec>& Commands() {
    static const std::vector<CommandSpec> commands = MakeCommands();
    return commands;
}

const CommandSpec* FindCommand(const std::string& name) {
    for (const CommandSpec& c : Commands()) {
        if (name == c.name) {
            return &c;
        }
    }
    return nullptr;
}

const std::vector<OptionSpec>& PasswordOptions() {
    static const std::vector<OptionSpec> options = {
        {"--password-stdin", nullptr, "read the password from the first line of standard input"},
        {"--password-file", "F", "the first line of file F, without its line end"},
        {"--password-file-raw", "F", "every byte of file F, as it is (a password of any bytes)"},
    };
    return options;
}

const std::vector<OptionSpec>& KeyStoreOptions() {
    static const std::vector<OptionSpec> options = {
        {"--keystore", "PATH", "the key store (default: Tazu16x32.key beside the program)"},
        {"--keystore-password-file", "F", "the key store's protection password, as for"},
        {"--keystore-password-file-raw", "F", "--password-file and --password-file-raw"},
    };
    return options;
}

std::vector<OptionSpec> AllOptions(const CommandSpec& command) {
    std::vector<OptionSpec> all = command.options;
    if (command.password_options) {
        all.insert(all.end(), PasswordOptions().begin(), PasswordOptions().end());
    }
    if (command.keystore_options) {
        all.insert(all.end(), KeyStoreOptions().begin(), KeyStoreOptions().end());
    }
    return all;
}

std::vector<std::string> OptionNames(const OptionSpec& option) {
    std::vector<std::string> names;
    std::string all = option.names;
    for (std::size_t at = 0; at <= all.size();) {
        const std::size_t comma = std::min(all.find(',', at), all.size());
        names.push_back(all.substr(at, comma - at));
        at = comma + 1;
    }
    return names;
}

}  // namespace tazu::cli
