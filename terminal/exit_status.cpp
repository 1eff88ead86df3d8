#include "terminal/exit_status.h"

namespace tazu::terminal {

bool RecoveredRun(DecryptCode code, std::uint32_t recovered) {
    return recovered > 0 && (code == DecryptCode::kDamaged || code == DecryptCode::kReadError ||
                             code == DecryptCode::kBadVersion);
}

int DecryptExitStatus(DecryptCode code, int problems, std::uint32_t recovered) {
    if (RecoveredRun(code, recovered)) {
        return kExitIncomplete;
    }
    switch (code) {
        case DecryptCode::kEndOfData:
            return problems > 0 ? kExitIncomplete : kExitOk;
        case DecryptCode::kOk:
        case DecryptCode::kEmptyArgument:
            return kExitInternal;
        case DecryptCode::kBadVersion:
            return kExitBadVersion;
        case DecryptCode::kReadError:
            return kExitReadFailed;
        case DecryptCode::kDamaged:
            return kExitDamaged;
        case DecryptCode::kOtherKeyStore:
            return kExitOtherKeyStore;
        case DecryptCode::kWriteError:
            return kExitWriteFailed;
        case DecryptCode::kWrongPassword:
            return kExitWrongPassword;
        case DecryptCode::kAborted:
            return kExitInterrupted;
    }
    return kExitInternal;
}

}  // namespace tazu::terminal
