// The command line's argument parsing: the input, split at NUL bytes, is
// the argument list of one subcommand, parsed with that subcommand's
// options (the first byte picks which), then asked for its password source.
//
// What must hold: every argument is accounted for once (a positional
// argument, an option with its value, a switch, or the "--" that ends the
// options) or the parse names the argument that failed; after "--"
// everything is positional; and a password source is one of those given.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#if __has_include("cli/command_line.h")
#include "cli/command_line.h"
#else
#include "cli/common.h"
#endif
#include "fuzz/fuzz_support.h"

namespace {

using tazu::cli::Args;

struct OptionLists {
    std::vector<std::string> values;
    std::vector<std::string> flags;
};

// The lists of the subcommands (encrypt, decrypt, keystore-new, keystore-passwd).
const OptionLists kLists[] = {
    {{"-o", "--password-file", "--password-file-raw", "--keystore", "--keystore-password-file",
      "--keystore-password-file-raw", "--stub", "--for", "--name"},
     {"--password-stdin", "--personal-code", "--sfx", "--force"}},
    {{"-d", "--on-exists", "--names", "--password-file", "--password-file-raw", "--keystore",
      "--keystore-password-file", "--keystore-password-file-raw"},
     {"--password-stdin", "--recover"}},
    {{"--settings", "--keystore", "--password-file", "--password-file-raw"},
     {"--protect", "--force", "--password-stdin"}},
    {{"--keystore", "--keystore-password-file", "--keystore-password-file-raw", "--password-file",
      "--password-file-raw"},
     {"--password-stdin"}},
};

bool In(const std::vector<std::string>& list, const std::string& s) {
    return std::find(list.begin(), list.end(), s) != list.end();
}

void CheckSource(const Args& args, const std::string& prefix) {
    tazu::cli::PasswordSource source;
    std::string error;
    using Kind = tazu::cli::PasswordSource::Kind;
    const int given = (args.Has(prefix + "-stdin") ? 1 : 0) +
                      (args.Value(prefix + "-file") ? 1 : 0) +
                      (args.Value(prefix + "-file-raw") ? 1 : 0);
    const bool ok = tazu::cli::PasswordSourceFrom(args, source, error, prefix);
    if (ok != (given <= 1) || ok == !error.empty()) {
        std::abort();  // more than one source must be refused, with a message
    }
    if (ok && ((source.kind == Kind::kFileLine && source.file != args.Value(prefix + "-file")) ||
               (source.kind == Kind::kFileRaw && source.file != args.Value(prefix + "-file-raw")) ||
               (source.kind == Kind::kStdin) != args.Has(prefix + "-stdin"))) {
        std::abort();  // a source that was not given
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const OptionLists& lists = kLists[data[0] % 4];
    std::vector<std::string> argv;
    const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    for (std::size_t pos = 0; pos <= rest.size();) {
        const std::size_t end = std::min(rest.find('\0', pos), rest.size());
        argv.push_back(rest.substr(pos, end - pos));
        pos = end + 1;
    }
    const Args args(argv, lists.values, lists.flags);
    std::size_t positional = 0;
    bool only_positional = false;
    for (std::size_t i = 0; i < argv.size() && args.ok(); ++i) {
        const std::string& a = argv[i];
        if (only_positional || a.empty() || a[0] != '-' || a == "-") {
            ++positional;
        } else if (a == "--") {
            only_positional = true;
        } else if (In(lists.values, a)) {
            if (!args.Value(a)) {
                std::abort();  // an option whose value went missing
            }
            ++i;
        } else if (!In(lists.flags, a) || !args.Has(a)) {
            std::abort();  // an unknown option taken, or a switch lost
        }
    }
    if (args.ok() && (positional != args.positional().size())) {
        std::abort();  // a positional argument lost or made up
    }
    if (!args.ok() && args.error().find("option") == std::string::npos &&
        args.error().find("needs a value") == std::string::npos) {
        std::abort();  // a refusal that names no argument
    }
    if (args.ok()) {
        CheckSource(args, "--password");
        CheckSource(args, "--keystore-password");
    }
    return 0;
}
