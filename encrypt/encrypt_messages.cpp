#include "encrypt/encrypt_messages.h"

#include "format/texts.h"

namespace tazu {

std::string ReadErrorReportLine(std::string_view path) {
    std::string line(kFileLinePrefix);
    line += path;
    line += "- пропущен, ошибка чтения.";
    return line;
}

std::string InvalidNameReportLine(std::string_view path) {
    return InvalidNameReportLine(kFileLinePrefix, path);
}

std::string_view EncryptOutcomeText(bool success, EncryptCode code) {
    if (success) {
        return code == EncryptCode::kOk ? "Шифровывание успешно завершено" : "";
    }
    switch (code) {
        case EncryptCode::kBadArgument:
            return kBadArgumentText;
        case EncryptCode::kWriteFailed:
            return kWriteErrorText;
        case EncryptCode::kCancelled:
            return "Шифрование прервано по желанию пользователя";
        case EncryptCode::kSourceUnreadable:
            return kReadErrorText;
        case EncryptCode::kStubMissing:
            return "Модуль саморасшифровки не найден";
        default:
            return "";
    }
}

}  // namespace tazu
