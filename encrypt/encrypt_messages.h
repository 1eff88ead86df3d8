// The texts the encryption side shows: report lines and the outcome message.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "encrypt/encrypt_host.h"
#include "format/language.h"
#include "io/stored_name.h"

namespace tazu {

// "-) Файл: " + path + "- пропущен, ошибка чтения."
std::string ReadErrorReportLine(std::string_view path);

// A file whose name cannot be stored in an archive (longer than 255 bytes
// with its folders, or holding a backslash, the archive's separator).
std::string InvalidNameReportLine(std::string_view path);

// A symbolic link to a folder, which the walk never enters (no cycles, no
// leaving the tree). Anything else that is neither a file nor a folder
// (FIFO, socket, device, a link leading nowhere) gets ReadErrorReportLine
// without being opened.
std::string FolderLinkReportLine(std::string_view path);

// A file whose size or modification time changed while it was read: it is
// stored as read, which may be neither its old nor its new content.
std::string ChangedReportLine(std::string_view path);

// Why the file at path (empty: a name given for standard input) cannot be
// stored under name: one line naming both and the reason.
std::string RefusedNameLine(std::string_view path, std::string_view name,
                            StoredNameProblem problem);

// What the stub copy shows in the status window.
inline constexpr std::string_view kStubCopyCaption = TextKey("Статус:");
inline constexpr std::string_view kStubCopyText = TextKey("Чтение/Запись");

// The message that ends a run: "Шифровывание успешно завершено" for a
// success without a code, the code's message on failure, and empty when the
// outcome has none.
std::string_view EncryptOutcomeText(bool success, EncryptCode code);

// The same, with the reason on a second line where the code has one: for
// kBadName, why the name of the file at source cannot be stored.
std::string EncryptOutcomeMessage(bool success, EncryptCode code,
                                  const std::filesystem::path& source);

}  // namespace tazu
