// The texts the encryption side shows: report lines and the outcome message.
#pragma once

#include <string>
#include <string_view>

#include "encrypt/encrypt_host.h"
#include "format/language.h"

namespace tazu {

// "-) Файл: " + path + "- пропущен, ошибка чтения."
std::string ReadErrorReportLine(std::string_view path);

// A file whose name cannot be stored in an archive (longer than 255 bytes
// with its folders, or holding a backslash, the archive's separator).
std::string InvalidNameReportLine(std::string_view path);

// What the stub copy shows in the status window.
inline constexpr std::string_view kStubCopyCaption = TextKey("Статус:");
inline constexpr std::string_view kStubCopyText = TextKey("Чтение/Запись");

// The message that ends a run: "Шифровывание успешно завершено" for a
// success without a code, the code's message on failure, and empty when the
// outcome has none.
std::string_view EncryptOutcomeText(bool success, EncryptCode code);

}  // namespace tazu
