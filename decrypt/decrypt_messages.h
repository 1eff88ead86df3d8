// The texts the decryption side shows: report lines about the files of an
// archive and the personal-code indicator. The outcome messages are
// DecryptCodeMessage (decrypt/result_code.h); the texts both sides write
// are in format/texts.h.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "format/texts.h"

namespace tazu {

// The prefix of a report line of versions 00 to 04 (05 on use
// kFileLinePrefix).
inline constexpr std::string_view kOldFileLinePrefix = TextKey("Файл: ");

inline constexpr std::string_view kPersonalCodeYes = TextKey("Да");
inline constexpr std::string_view kPersonalCodeNo = TextKey("Нет");
inline constexpr std::string_view kPersonalCodeMixed = TextKey("Да / Нет");

// Why an entry was skipped.
enum class SkipReason : std::uint8_t { kExists, kNoAccess, kInvalidName };
// The words its report line ends with after " - пропущен, " ("уже
// существует"), translated.
std::string_view SkipReasonText(SkipReason reason);

// prefix + path + " - пропущен, уже существует"
std::string ExistsReportLine(std::string_view prefix, std::string_view path);
// prefix + path + " - пропущен, нет доступа"
std::string NoAccessReportLine(std::string_view prefix, std::string_view path);
// prefix + path + " - поврежден"
std::string DamagedReportLine(std::string_view prefix, std::string_view path);
// prefix + path + " - поврежден (блоков: " + blocks + " )."
std::string DamagedBlocksReportLine(std::string_view prefix, std::string_view path,
                                    std::int32_t blocks);

}  // namespace tazu
