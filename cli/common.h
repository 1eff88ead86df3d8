// Shared pieces of the command-line companion: argument parsing, password
// input, the terminal progress line and Ctrl-C handling.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cipher/str255.h"
#include "cli/password.h"

namespace tazu::cli {

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

bool StdinIsTerminal();
// True when the process has a controlling terminal to ask on.
bool HasTerminal();
bool StderrIsTerminal();
bool StdoutIsTerminal();

// The bytes a run over source will read, for the progress line: a file's
// size, or the sizes of the regular files in a folder tree, counted without
// reading them. 0 when standard error is not a terminal (no progress is
// shown) or nothing can be counted.
std::uint64_t SourceSize(const std::filesystem::path& source, bool folder);

// Ctrl-C sets a flag instead of killing the process, so a run can stop
// cleanly and remove what it was writing.
void InstallInterruptHandler();
bool Interrupted();

// One self-rewriting status line on standard error (only when it is a
// terminal): when the total is known a bar, the percentage and the time
// left; always the bytes, the rate and the files handled.
class ProgressLine {
  public:
    explicit ProgressLine(std::uint64_t total_bytes = 0);
    void Update(std::uint64_t bytes, std::uint64_t files);
    void Finish();

  private:
    bool enabled_;
    std::uint64_t total_;
    double start_;
    double last_ = 0;
    bool drawn_ = false;
};

// Prints "tazu16x32-cli: message" on standard error, with control
// characters in it (a newline too) escaped.
void PrintError(const std::string& message);
// The same for each line of a message made of several.
void PrintErrorLines(const std::string& message);

// The text with every control character (C0, DEL, C1) and every byte that
// is not part of valid UTF-8 written as \xNN, so that a name cannot move the
// cursor, recolour, retitle or add lines on a terminal. Everything else is
// kept as it is.
std::string Escaped(std::string_view text);

}  // namespace tazu::cli
