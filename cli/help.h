// The help texts of tazu16x32-cli: the general one and one per command.
#pragma once

#include <string>

namespace tazu::cli {

// The general help: every command, the password options and the exit
// statuses.
std::string GeneralHelp();

// The help of one command, or empty for an unknown one.
std::string CommandHelp(const std::string& command);

// Prints the error and the command's usage line on standard error; returns
// the usage-error status.
int UsageError(const std::string& command, const std::string& error);

}  // namespace tazu::cli
