#include "ui/dialog_rules.h"

#include <cstdio>
#include <string_view>
#include <system_error>

#include "encrypt/archive_name.h"

// These rules need no Qt: the reasons are marked for the windows'
// catalogue by the name lupdate looks for, and the encrypt dialog
// translates them when it shows them.
#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(scope, text) text
#endif

namespace tazu {

namespace fs = std::filesystem;

std::string ObjectDisplayText(const fs::path& object, bool is_file) {
    std::string text = object.native();
    if (is_file) {
        return text;
    }
    return text + (!text.empty() && text.back() == '/' ? "*.*" : "/*.*");
}

ArchiveNameProblem CheckArchiveName(const std::string& name_text, const fs::path& archive,
                                    const fs::path& object) {
    if (name_text.empty() || archive.empty()) {
        return ArchiveNameProblem::kEmpty;
    }
    if (name_text.back() == '/') {
        return ArchiveNameProblem::kEndsWithSeparator;
    }
    std::error_code ec;
    if (fs::is_directory(archive, ec)) {
        return ArchiveNameProblem::kExistingFolder;
    }
    const bool itself = fs::equivalent(archive, object, ec) && !ec;
    return itself ? ArchiveNameProblem::kObjectItself : ArchiveNameProblem::kNone;
}

std::string_view ArchiveNameReason(ArchiveNameProblem problem) {
    switch (problem) {
        case ArchiveNameProblem::kNone:
            break;
        case ArchiveNameProblem::kEmpty:
            return QT_TRANSLATE_NOOP("tazu::TForm3", "Имя файла не указано.");
        case ArchiveNameProblem::kEndsWithSeparator:
            return QT_TRANSLATE_NOOP("tazu::TForm3",
                                     "Имя оканчивается знаком «/»: это имя папки, а не файла.");
        case ArchiveNameProblem::kExistingFolder:
            return QT_TRANSLATE_NOOP("tazu::TForm3", "Под этим именем уже есть папка.");
        case ArchiveNameProblem::kObjectItself:
            return QT_TRANSLATE_NOOP("tazu::TForm3",
                                     "Это сам шифруемый файл: его нельзя заменить архивом.");
    }
    return {};
}

fs::path ProposedDialogArchivePath(const fs::path& object, bool is_file, bool self_decrypting) {
    const fs::path proposal = ProposedArchivePath(object, is_file, self_decrypting);
    if (!is_file || proposal != object.lexically_normal()) {
        return proposal;
    }
    return fs::path(proposal.native() + proposal.extension().native());
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
