// The subcommands of tazu16x32-cli. Each takes its own arguments (without
// the subcommand name) and returns the process exit status.
#pragma once

#include <string>
#include <vector>

namespace tazu::cli {

int RunKeystoreNew(const std::vector<std::string>& args);
int RunKeystoreInfo(const std::vector<std::string>& args);
int RunKeystorePasswd(const std::vector<std::string>& args);
int RunEncrypt(const std::vector<std::string>& args);
int RunDecrypt(const std::vector<std::string>& args);
int RunVerify(const std::vector<std::string>& args);
int RunList(const std::vector<std::string>& args);

}  // namespace tazu::cli
