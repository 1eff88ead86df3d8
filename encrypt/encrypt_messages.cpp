#include "encrypt/encrypt_messages.h"

namespace tazu {

std::string ReadErrorReportLine(std::string_view path) {
    std::string line = "-) Файл: ";
    line += path;
    line += "- пропущен, ошибка чтения.";
    return line;
}

std::string InvalidNameReportLine(std::string_view path) {
    std::string line = "-) Файл: ";
    line += path;
    line += " - пропущен, недопустимое имя";
    return line;
}

std::string_view EncryptOutcomeText(bool success, EncryptCode code) {
    if (success) {
        return code == EncryptCode::kNone ? "Шифровывание успешно завершено" : "";
    }
    switch (code) {
        case EncryptCode::kBadArgument:
            return "Внутренняя ошибка целостности параметров";
        case EncryptCode::kWriteFailed:
            return "Ошибка записи на диск, возможно он переполнен";
        case EncryptCode::kCancelled:
            return "Шифрование прервано по желанию пользователя";
        case EncryptCode::kSourceUnreadable:
            return "Ошибка чтения из файла";
        case EncryptCode::kStubMissing:
            return "Модуль саморасшифровки не найден";
        default:
            return "";
    }
}

}  // namespace tazu
