// Shared pieces of the command-line companion: argument parsing, password
// input, the terminal progress line and Ctrl-C handling.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cipher/str255.h"

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

// Where a password comes from.
struct PasswordSource {
    bool from_stdin = false;  // --password-stdin: one line of standard input
    std::string file;         // --password-file F: the file's bytes, as they are
};
PasswordSource PasswordSourceFrom(const Args& args);

// Reads a password of 1 to 255 bytes. On a terminal the prompt is shown and
// typing is not echoed; with confirm it is asked twice. Returns false with a
// message in error when there is none or it is unusable. With allow_empty an
// empty password (an empty line, an empty file, Enter on the terminal) is
// accepted and leaves password empty.
bool ReadPassword(const PasswordSource& source, const std::string& prompt, bool confirm,
                  Str255& password, std::string& error, bool allow_empty = false);

// A yes/no question on the terminal; false when there is no terminal.
bool AskYesNo(const std::string& question);

bool StdinIsTerminal();
bool StderrIsTerminal();

// The key store path: --keystore, else "Tazu16x32.key" beside the program
// when one lies there, else the per-user store (keystore/keystore_location.h).
std::filesystem::path KeyStorePath(const Args& args);

// Ctrl-C sets a flag instead of killing the process, so a run can stop
// cleanly and remove what it was writing.
void InstallInterruptHandler();
bool Interrupted();

// One self-rewriting status line on standard error (only when it is a
// terminal): bytes, files, rate and, when the total is known, time left.
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

// Prints "tazu16x32-cli: message" on standard error.
void PrintError(const std::string& message);

}  // namespace tazu::cli
