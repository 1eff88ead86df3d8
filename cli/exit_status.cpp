#include "cli/exit_status.h"

namespace tazu::cli {

namespace {

constexpr const char* kStatusTexts[] = {
    "complete, every file intact",
    "complete, but the report lists damaged, skipped or unreadable files",
    "usage error, or no usable password",
    "key store missing, damaged or not opened",
    "the source or the archive cannot be read",
    "the archive is damaged",
    "made with another key store's personal code",
    "write error",
    "wrong password",
    "interrupted (Ctrl-C or a cancel answer)",
    "unknown archive version",
    "the self-decrypting stub is missing",
    "internal error: an argument the engine refused",
};

}  // namespace

std::string ExitStatusHelp() {
    std::string text = "Exit status:\n";
    for (int status = 0; status <= kExitInternal; ++status) {
        text += (status < 10 ? "   " : "  ") + std::to_string(status) + "  " +
                kStatusTexts[status] + "\n";
    }
    return text;
}

std::string ExitStatusText(int status) {
    return status >= 0 && status <= kExitInternal ? kStatusTexts[status] : "unknown status";
}

std::string RecoveredLine(const std::string& archive, std::uint32_t recovered) {
    return "recovered from " + std::to_string(recovered) + " damaged stretch" +
           (recovered == 1 ? "" : "es") + " of " + archive +
           ": the \"Skipped bytes\" lines say what was lost";
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
