#include "encrypt/encrypt_messages.h"

#include "format/texts.h"

namespace tazu {

std::string ReadErrorReportLine(std::string_view path) {
    std::string line(Tr(kFileLinePrefix));
    line += path;
    line += Tr("- пропущен, ошибка чтения.");
    return line;
}

std::string InvalidNameReportLine(std::string_view path) {
    return InvalidNameReportLine(Tr(kFileLinePrefix), path);
}

std::string_view EncryptOutcomeText(bool success, EncryptCode code) {
    if (success) {
        return code == EncryptCode::kOk ? Tr("Шифровывание успешно завершено") : "";
    }
    switch (code) {
        case EncryptCode::kBadArgument:
            return Tr(kBadArgumentText);
        case EncryptCode::kWriteFailed:
            return Tr(kWriteErrorText);
        case EncryptCode::kCancelled:
            return Tr("Шифрование прервано по желанию пользователя");
        case EncryptCode::kSourceUnreadable:
            return Tr(kReadErrorText);
        case EncryptCode::kStubMissing:
            return Tr("Модуль саморасшифровки не найден");
        default:
            return "";
    }
}

}  // namespace tazu
