#include "cli/exit_status.h"

namespace tazu::cli {

const char* const kExitStatusHelp =
    "Exit status:\n"
    "   0  complete, every file intact\n"
    "   1  complete, but the report lists damaged, skipped or unreadable files\n"
    "   2  usage error, or no usable password\n"
    "   3  key store missing, damaged or not opened\n"
    "   4  the source or the archive cannot be read\n"
    "   5  the archive is damaged\n"
    "   6  made with another key store's personal code\n"
    "   7  write error\n"
    "   8  wrong password\n"
    "   9  interrupted (Ctrl-C or a cancel answer)\n"
    "  10  unknown archive version\n"
    "  11  the self-decrypting stub is missing\n"
    "  12  internal error: an argument the engine refused\n";

bool RecoveredRun(DecryptCode code, std::uint32_t recovered) {
    return recovered > 0 && (code == DecryptCode::kDamaged || code == DecryptCode::kReadError ||
                             code == DecryptCode::kBadVersion);
}

std::string RecoveredLine(const std::string& archive, std::uint32_t recovered) {
    return "recovered from " + std::to_string(recovered) + " damaged stretch" +
           (recovered == 1 ? "" : "es") + " of " + archive +
           ": the \"Skipped bytes\" lines say what was lost";
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

int EncryptExitStatus(bool success, EncryptCode code, int problems) {
    if (success) {
        return problems > 0 ? kExitIncomplete : kExitOk;
    }
    switch (code) {
        case EncryptCode::kWriteFailed:
            return kExitWriteFailed;
        case EncryptCode::kCancelled:
            return kExitInterrupted;
        case EncryptCode::kSourceUnreadable:
            return kExitReadFailed;
        case EncryptCode::kStubMissing:
            return kExitStubMissing;
        case EncryptCode::kBadName:
            return kExitUsage;
        case EncryptCode::kOk:
        case EncryptCode::kBadArgument:
            break;
    }
    return kExitInternal;
}

}  // namespace tazu::cli
