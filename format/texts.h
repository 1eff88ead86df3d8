// The texts both sides write: the prefix of a report line about a file,
// the line of a name that cannot be stored or extracted, and the outcome
// messages the encrypt and decrypt dialogs share.
#pragma once

#include <string>
#include <string_view>

#include "format/language.h"

namespace tazu {

inline constexpr std::string_view kFileLinePrefix = TextKey("-) Файл: ");
inline constexpr std::string_view kInvalidNameText = TextKey(" - пропущен, недопустимое имя");

inline constexpr std::string_view kBadArgumentText =
    TextKey("Внутренняя ошибка целостности параметров");
inline constexpr std::string_view kReadErrorText = TextKey("Ошибка чтения из файла");
inline constexpr std::string_view kWriteErrorText =
    TextKey("Ошибка записи на диск, возможно он переполнен");

// What the system's error number means ("No such file or directory"), in
// the chosen language: errno values, as strerror() takes them.
std::string SystemErrorText(int error_number);

// prefix + name + " - пропущен, недопустимое имя"
inline std::string InvalidNameReportLine(std::string_view prefix, std::string_view name) {
    std::string line(prefix);
    line += name;
    line += Tr(kInvalidNameText);
    return line;
}

}  // namespace tazu
