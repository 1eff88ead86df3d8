// The subcommands of tazu16x32-cli. Each takes its arguments, parsed and
// checked against its description (operand count included), and returns
// the process exit status.
#pragma once

#include "cli/common.h"

namespace tazu::cli {

int RunKeystoreNew(const Args& args);
int RunKeystoreInfo(const Args& args);
int RunKeystorePasswd(const Args& args);
int RunEncrypt(const Args& args);
int RunDecrypt(const Args& args);
int RunVerify(const Args& args);
int RunList(const Args& args);

}  // namespace tazu::cli
