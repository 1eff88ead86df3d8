// Shared pieces of the command-line companion: argument parsing, questions
// and error messages. What the stub shares with it on the terminal is in
// terminal/ (the names are used here as the companion's own).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cipher/str255.h"
#include "cli/command_spec.h"
#include "terminal/password.h"
#include "terminal/terminal.h"

namespace tazu::cli {

using terminal::DisplayWidth;
using terminal::Escaped;
using terminal::HasTerminal;
using terminal::InstallInterruptHandler;
using terminal::Interrupted;
using terminal::PasswordSource;
using terminal::ProgressLine;
using terminal::ReadPassword;
using terminal::StderrIsTerminal;
using terminal::StdinIsTerminal;
using terminal::StdoutIsTerminal;

// The parsed command line of one command, read by its description (see
// cli/command_spec.h). An option with several names is found under each.
class Args {
  public:
    Args(const CommandSpec& command, const std::vector<std::string>& argv);

    bool Ok() const { return error_.empty(); }
    const std::string& Error() const { return error_; }
    // -h or --help was given.
    bool Help() const { return help_; }
    bool Has(const std::string& name) const;
    std::optional<std::string> Value(const std::string& name) const;
    const std::vector<std::string>& Positional() const { return positional_; }

  private:
    std::vector<std::pair<std::string, std::string>> values_;
    std::vector<std::string> flags_;
    std::vector<std::string> positional_;
    std::string error_;
    bool help_ = false;
};

// The candidate closest to a mistyped word (one or two letters off, or the
// word is its start), or empty when none is close.
std::string Nearest(const std::string& word, const std::vector<std::string>& candidates);

// A yes/no question on the terminal; false when there is no terminal.
bool AskYesNo(const std::string& question);

// The bytes a run over source will read, for the progress line: a file's
// size, or the sizes of the regular files in a folder tree, counted without
// reading them. 0 when standard error is not a terminal (no progress is
// shown) or nothing can be counted.
std::uint64_t SourceSize(const std::filesystem::path& source, bool folder);

// Prints "tazu16x32-cli: message" on standard error, with control
// characters in it (a newline too) escaped.
void PrintError(const std::string& message);
// The same for each line of a message made of several.
void PrintErrorLines(const std::string& message);

// The source named by --password-stdin, --password-file F or
// --password-file-raw F (prefix "--keystore" for the key store's own
// password: --keystore-password-file F, --keystore-password-file-raw F).
// False with a message in error when more than one is given.
bool PasswordSourceFrom(const Args& args, PasswordSource& source, std::string& error,
                        const std::string& prefix = "--password");

}  // namespace tazu::cli
