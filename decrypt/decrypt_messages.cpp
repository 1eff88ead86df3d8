#include "decrypt/decrypt_messages.h"

#include <algorithm>

#include "decrypt/result_code.h"

namespace tazu {

namespace {

std::string Line(std::string_view prefix, std::string_view path, std::string_view text) {
    std::string line(prefix);
    line += path;
    line += text;
    return line;
}

constexpr std::string_view kExistsText = TextKey(" - пропущен, уже существует");
constexpr std::string_view kNoAccessText = TextKey(" - пропущен, нет доступа");
constexpr std::string_view kSkippedText = TextKey(" - пропущен, ");

}  // namespace

std::string_view SkipReasonText(SkipReason reason) {
    const std::string_view line_end = Tr(reason == SkipReason::kExists     ? kExistsText
                                         : reason == SkipReason::kNoAccess ? kNoAccessText
                                                                           : kInvalidNameText);
    const std::string_view skipped = Tr(kSkippedText);
    if (line_end.substr(0, skipped.size()) == skipped) {
        return line_end.substr(skipped.size());
    }
    return line_end.substr(std::min(line_end.size(), line_end.find_first_not_of(" -")));
}

std::string ExistsReportLine(std::string_view prefix, std::string_view path) {
    return Line(prefix, path, Tr(kExistsText));
}

std::string NoAccessReportLine(std::string_view prefix, std::string_view path) {
    return Line(prefix, path, Tr(kNoAccessText));
}

std::string DamagedReportLine(std::string_view prefix, std::string_view path) {
    return Line(prefix, path, Tr(" - поврежден"));
}

std::string DamagedBlocksReportLine(std::string_view prefix, std::string_view path,
                                    std::int32_t blocks) {
    return Line(prefix, path,
                std::string(Tr(" - поврежден (блоков: ")) + std::to_string(blocks) +
                    std::string(Tr(" ).")));
}

std::string_view DecryptCodeMessage(DecryptCode code) {
    switch (code) {
        case DecryptCode::kOk:
            return {};
        case DecryptCode::kEmptyArgument:
            return Tr(kBadArgumentText);
        case DecryptCode::kBadVersion:
            return Tr("Файл не совместим с данной версией программы");
        case DecryptCode::kEndOfData:
            return Tr("Расшифровка успешно завершена");
        case DecryptCode::kReadError:
            return Tr(kReadErrorText);
        case DecryptCode::kDamaged:
            return Tr("Файл поврежден");
        case DecryptCode::kOtherKeyStore:
            return Tr("Файл не совместим с данной копией программы");
        case DecryptCode::kWriteError:
            return Tr(kWriteErrorText);
        case DecryptCode::kWrongPassword:
            return Tr("Пароль введен неверно");
        case DecryptCode::kAborted:
            return Tr("Расшифровка прервана по желанию пользователя");
    }
    return {};
}

}  // namespace tazu
