#include "decrypt/result_code.h"

namespace tazu {

std::string_view DecryptCodeMessage(DecryptCode code) {
    switch (code) {
        case DecryptCode::kOk:
            return {};
        case DecryptCode::kEmptyArgument:
            return "Внутренняя ошибка целостности параметров";
        case DecryptCode::kBadVersion:
            return "Файл не совместим с данной версией программы";
        case DecryptCode::kEndOfData:
            return "Расшифровка успешно завершена";
        case DecryptCode::kReadError:
            return "Ошибка чтения из файла";
        case DecryptCode::kDamaged:
            return "Файл поврежден";
        case DecryptCode::kOtherKeyStore:
            return "Файл не совместим с данной копией программы";
        case DecryptCode::kWriteError:
            return "Ошибка записи на диск, возможно он переполнен";
        case DecryptCode::kWrongPassword:
            return "Пароль введен неверно";
        case DecryptCode::kAborted:
            return "Расшифровка прервана по желанию пользователя";
    }
    return {};
}

}  // namespace tazu
