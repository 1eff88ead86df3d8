#include "decrypt/decrypt_messages.h"

#include "decrypt/result_code.h"

namespace tazu {

namespace {

std::string Line(std::string_view prefix, std::string_view path, std::string_view text) {
    std::string line(prefix);
    line += path;
    line += text;
    return line;
}

}  // namespace

std::string ExistsReportLine(std::string_view prefix, std::string_view path) {
    return Line(prefix, path, " - пропущен, уже существует");
}

std::string NoAccessReportLine(std::string_view prefix, std::string_view path) {
    return Line(prefix, path, " - пропущен, нет доступа");
}

std::string DamagedReportLine(std::string_view prefix, std::string_view path) {
    return Line(prefix, path, " - поврежден");
}

std::string DamagedBlocksReportLine(std::string_view prefix, std::string_view path,
                                    std::int32_t blocks) {
    return Line(prefix, path, " - поврежден (блоков: " + std::to_string(blocks) + " ).");
}

std::string_view DecryptCodeMessage(DecryptCode code) {
    switch (code) {
        case DecryptCode::kOk:
            return {};
        case DecryptCode::kEmptyArgument:
            return kBadArgumentText;
        case DecryptCode::kBadVersion:
            return "Файл не совместим с данной версией программы";
        case DecryptCode::kEndOfData:
            return "Расшифровка успешно завершена";
        case DecryptCode::kReadError:
            return kReadErrorText;
        case DecryptCode::kDamaged:
            return "Файл поврежден";
        case DecryptCode::kOtherKeyStore:
            return "Файл не совместим с данной копией программы";
        case DecryptCode::kWriteError:
            return kWriteErrorText;
        case DecryptCode::kWrongPassword:
            return "Пароль введен неверно";
        case DecryptCode::kAborted:
            return "Расшифровка прервана по желанию пользователя";
    }
    return {};
}

}  // namespace tazu
