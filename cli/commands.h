// The subcommands of tazu16x32-cli. Each takes its own arguments (without
// the subcommand name) and returns the process exit status.
#pragma once

#include <string>
#include <vector>

#include "cipher/str255.h"

namespace tazu::cli {

int RunKeystoreNew(const std::vector<std::string>& args);
int RunKeystoreInfo(const std::vector<std::string>& args);
int RunKeystorePasswd(const std::vector<std::string>& args);
int RunEncrypt(const std::vector<std::string>& args);
int RunDecrypt(const std::vector<std::string>& args);
int RunVerify(const std::vector<std::string>& args);
int RunList(const std::vector<std::string>& args);
int RunPassword(const std::vector<std::string>& args);

// One line on standard error when the password is weak, unless quiet
// (cli/cmd_password.cpp).
void WarnIfWeakPassword(const Str255& password, bool quiet);

}  // namespace tazu::cli
