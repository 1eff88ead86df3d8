// The subcommands of tazu16x32-cli. Each takes its arguments, parsed and
// checked against its description (operand count included), and returns
// the process exit status.
#pragma once

#include "cli/command_line.h"

#include "cipher/str255.h"

namespace tazu::cli {

int RunKeystoreNew(const Args& args);
int RunKeystoreInfo(const Args& args);
int RunKeystorePasswd(const Args& args);
int RunEncrypt(const Args& args);
int RunDecrypt(const Args& args);
int RunVerify(const Args& args);
int RunList(const Args& args);
int RunPassword(const Args& args);

// One line on standard error when the password is weak, unless quiet
// (cli/cmd_password.cpp).
void WarnIfWeakPassword(const Str255& password, bool quiet);

}  // namespace tazu::cli
