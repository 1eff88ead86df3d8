#include "cli/commands.h"
#include "cli/common.h"

namespace tazu::cli {

int RunEncrypt(const std::vector<std::string>&) {
    PrintError("this command is not available yet");
    return 2;
}

}  // namespace tazu::cli
