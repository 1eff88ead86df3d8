// The exit statuses of tazu16x32-cli: the table's texts for --help, and the
// status of an encryption run.
#pragma once

#include <cstdint>
#include <string>

#include "decrypt/result_code.h"
#include "encrypt/encrypt_host.h"
#include "terminal/exit_status.h"

namespace tazu::cli {

// The table itself is shared with the stub (terminal/exit_status.h).
using terminal::ExitStatus;
using enum terminal::ExitStatus;
using terminal::DecryptExitStatus;
using terminal::RecoveredRun;

// The table as printed by --help.
std::string ExitStatusHelp();
// The table's text for one status ("the archive is damaged").
std::string ExitStatusText(int status);

// The line that follows the message of a recovered run.
std::string RecoveredLine(const std::string& archive, std::uint32_t recovered);

// The status of an encryption run.
int EncryptExitStatus(bool success, EncryptCode code, int problems);

}  // namespace tazu::cli
