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
#include "terminal/password.h"
#include "terminal/terminal.h"

namespace tazu::cli {

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

// Parsed command line of one subcommand: "--name value" options, "--flag"
// switches and positional arguments. Unknown names are errors.
class Args {
  public:
    // value_options take a value ("-o X", "--keystore X"); flags do not.
    Args(const std::vector<std::string>& argv, const std::vector<std::string>& value_options,
         const std::vector<std::string>& flags);

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    bool Has(const std::string& name) const;
    std::optional<std::string> Value(const std::string& name) const;
    const std::vector<std::string>& positional() const { return positional_; }

  private:
    std::vector<std::pair<std::string, std::string>> values_;
    std::vector<std::string> flags_;
    std::vector<std::string> positional_;
    std::string error_;
};

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
