#include "ui/dialog_rules.h"

#include <system_error>

namespace tazu {

namespace fs = std::filesystem;

std::string ObjectDisplayText(const fs::path& object, bool is_file) {
    std::string text = object.native();
    if (is_file) {
        return text;
    }
    return text + (!text.empty() && text.back() == '/' ? "*.*" : "/*.*");
}

bool IsUnusableArchiveName(const std::string& name_text, const fs::path& archive,
                           const fs::path& object) {
    if (name_text.empty() || name_text.back() == '/' || archive.empty()) {
        return true;
    }
    std::error_code ec;
    if (fs::is_directory(archive, ec)) {
        return true;
    }
    return fs::equivalent(archive, object, ec) && !ec;
}

EncryptRequestProblem CheckEncryptRequest(bool unusable_name, bool hidden, bool passwords_differ,
                                          bool password_empty) {
    if (unusable_name) {
        return EncryptRequestProblem::kBadName;
    }
    if (hidden && passwords_differ) {
        return EncryptRequestProblem::kMismatch;
    }
    if (password_empty) {
        return EncryptRequestProblem::kNoPassword;
    }
    return EncryptRequestProblem::kNone;
}

std::string ProposedDestination(const fs::path& archive) {
    return WithFinalSeparator(archive.parent_path().native());
}

std::string WithFinalSeparator(std::string text) {
    if (!text.empty() && text.back() != '/') {
        text += '/';
    }
    return text;
}

bool WrongPasswordClosesDialog(std::uint8_t& counter, Random& random) {
    if (counter < 255) {
        ++counter;
    }
    if (counter < 4) {
        return false;
    }
    const std::uint32_t draw = random.Below(10);
    return draw == 0 || draw == 7 || draw == 9;
}

}  // namespace tazu
