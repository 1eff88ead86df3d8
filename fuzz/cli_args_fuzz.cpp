// The command line's argument parsing: the input, split at NUL bytes, is
// the argument list of one command, parsed by that command's description
// (the first byte picks which), then asked for its password sources.
//
// What must hold: the parse never fails without naming why; what it takes
// for an option's value is a value, never lost; after "--" every argument is
// an operand; and a password source is one of those given, never two.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/command_spec.h"
#include "fuzz/fuzz_support.h"

namespace {

using tazu::cli::Args;

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
    const auto& commands = tazu::cli::Commands();
    if (size == 0 || commands.empty()) {
        return 0;
    }
    const tazu::cli::CommandSpec& command = commands[data[0] % commands.size()];
    std::vector<std::string> argv;
    const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    for (std::size_t pos = 0; pos <= rest.size();) {
        const std::size_t end = std::min(rest.find('\0', pos), rest.size());
        argv.push_back(rest.substr(pos, end - pos));
        pos = end + 1;
    }
    const Args args(command, argv);
    if (!args.Ok() && args.Error().empty()) {
        std::abort();  // a refusal that says nothing
    }
    if (!args.Ok() || args.Help()) {
        return 0;
    }
    // Everything after the first "--" is an operand, in order.
    const auto dashes = std::find(argv.begin(), argv.end(), std::string("--"));
    if (dashes != argv.end()) {
        const std::vector<std::string> after(dashes + 1, argv.end());
        const auto& ops = args.Positional();
        if (ops.size() < after.size() ||
            !std::equal(after.begin(), after.end(), ops.end() - after.size())) {
            std::abort();  // an operand after "--" lost or taken as an option
        }
    }
    if (command.password_options) {
        CheckSource(args, "--password");
    }
    if (command.keystore_options) {
        CheckSource(args, "--keystore-password");
    }
    return 0;
}
