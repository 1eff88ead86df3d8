// The rules of the encrypt and decrypt dialogs that need no window: the
// proposed archive name and destination, the checks before a run starts,
// the wrong-password rule, and how names are shown.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "cipher/random.h"
#include "io/stored_name.h"  // VisibleText, what the windows show of a name

namespace tazu {

// The object as the encrypt dialog shows it: a file's path, or a folder's
// path followed by "/*.*" ("*.*" right after a path that ends with "/").
std::string ObjectDisplayText(const std::filesystem::path& object, bool is_file);

// What "Шифрование" finds wrong, in the order it looks.
enum class EncryptRequestProblem : std::uint8_t {
    kNone,
    kBadName,  // "Имя нового файла задано неверно"
    kMismatch,  // "Подтверждение пароля не совпадает с паролем"
    kNoPassword,  // "Вы забыли указать пароль"
};

// Why an output name cannot be used: it is empty, ends with the separator,
// names an existing folder, or names the object itself (links included): a
// replace would empty the source before it is read.
enum class ArchiveNameProblem : std::uint8_t {
    kNone,
    kEmpty,
    kEndsWithSeparator,
    kExistingFolder,
    kObjectItself,
};
ArchiveNameProblem CheckArchiveName(const std::string& name_text,
                                    const std::filesystem::path& archive,
                                    const std::filesystem::path& object);
inline bool IsUnusableArchiveName(const std::string& name_text,
                                  const std::filesystem::path& archive,
                                  const std::filesystem::path& object) {
    return CheckArchiveName(name_text, archive, object) != ArchiveNameProblem::kNone;
}
// The reason shown on the line below "Имя нового файла задано неверно".
std::string_view ArchiveNameReason(ArchiveNameProblem problem);

// The encrypt dialog's proposal: ProposedArchivePath, except that an
// object which already has the output's extension (an archive chosen to
// be encrypted again) gets the extension appended, "Docs.shf.shf", rather
// than a proposal that names the object itself and would be refused.
std::filesystem::path ProposedDialogArchivePath(const std::filesystem::path& object, bool is_file,
                                                bool self_decrypting);

// The checks of "Шифрование" before anything is asked: the name first, then
// (only while passwords are hidden) the confirmation, then the password.
EncryptRequestProblem CheckEncryptRequest(bool unusable_name, bool hidden, bool passwords_differ,
                                          bool password_empty);

// The decrypt dialog's proposal: the archive's folder with a final "/".
std::string ProposedDestination(const std::filesystem::path& archive);

// The text with a final "/" appended when it has none (an empty text stays
// empty: there is no folder to end).
std::string WithFinalSeparator(std::string text);

// A wrong password in the decrypt dialog: the attempt counter rises by one
// (it stops at 255 rather than wrap back to a free start), and from the
// fourth wrong password on a draw of 0, 7 or 9 out of 0..9 closes the
// dialog. Returns whether it closes.
bool WrongPasswordClosesDialog(std::uint8_t& counter, Random& random);

}  // namespace tazu
