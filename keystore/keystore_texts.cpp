// Where the store lives and the texts its outcomes are shown with.
#include <cerrno>
#include <string>

#include "cipher/constants.h"
#include "format/language.h"
#include "format/texts.h"
#include "io/native.h"
#include "keystore/key_store.h"
#include "keystore/keystore_file.h"
#include "keystore/keystore_location.h"

namespace tazu {

Path DefaultKeyStorePath() {
    return LocateKeyStore().path;
}

namespace {

std::string FolderOf(const Path& path) {
    const Path folder = path.parent_path();
    return folder.empty() ? std::string(".") : PathString(folder);
}

// The phrase for a system reason met while reading or writing path.
std::string SystemCause(int error_number, const Path& path, bool writing) {
    switch (error_number) {
        case EACCES:
        case EPERM:
            return writing ? TrFill(
                                 "доступ запрещен: этот пользователь не может записывать "
                                 "файл ключа или его папку {}",
                                 {FolderOf(path)})
                           : std::string(Tr("доступ запрещен: этот пользователь не может "
                                            "читать файл ключа"));
        case EROFS:
            return TrFill("папка {} на файловой системе только для чтения", {FolderOf(path)});
        case ENOENT:
            return writing ? TrFill("папки {} нет", {FolderOf(path)})
                           : std::string(Tr("там нет файла ключа"));
        case ENOTDIR:
            return TrFill("часть пути {} - не папка", {FolderOf(path)});
        case EISDIR:
            return std::string(Tr("путь ведет к папке, а не к файлу ключа"));
        case ELOOP:
            if (writing) {
                return std::string(
                    Tr("файл ключа - символическая ссылка, по которой программа не идет (ссылка "
                       "другого пользователя в общей папке или ссылки без конца): он не "
                       "заменен"));
            }
            break;
        case EINVAL:
            return std::string(Tr("путь ведет не к обычному файлу"));
        case ENOSPC:
#ifdef EDQUOT  // a disk quota, where the system has them
        case EDQUOT:
#endif
            return std::string(Tr("на диске нет места"));
        case 0:
            return "";
    }
    return SystemErrorText(error_number);
}

}  // namespace

std::string KeyStoreSaveCause(KeyStoreSaveCode code, int error_number, const Path& path) {
    if (code == KeyStoreSaveCode::kOk) {
        return "";
    }
    std::string cause = SystemCause(error_number, path, /*writing=*/true);
    if (cause.empty()) {
        cause = code == KeyStoreSaveCode::kShortWrite ? Tr("запись на диск не удалась")
                                                      : Tr("файл ключа не удалось создать");
    }
    return cause;
}

std::string KeyStoreLoadCause(KeyStoreLoadCode code, int error_number, const Path& path) {
    switch (code) {
        case KeyStoreLoadCode::kOk:
            return "";
        case KeyStoreLoadCode::kWrongPassword:
            return std::string(Tr("пароль защиты его не открывает"));
        case KeyStoreLoadCode::kBadVersion:
            return std::string(Tr("это не файл ключа, или он поврежден в начале"));
        case KeyStoreLoadCode::kDamaged:
            return std::string(
                Tr("файл ключа поврежден: запись не сходится с подписью в обеих копиях"));
        case KeyStoreLoadCode::kCannotOpen:
            break;
    }
    const std::string cause = SystemCause(error_number, path, /*writing=*/false);
    return cause.empty() ? std::string(Tr("файл не удалось открыть")) : cause;
}

std::string_view LoadCodeText(KeyStoreLoadCode code) {
    switch (code) {
        case KeyStoreLoadCode::kOk:
            return "";
        case KeyStoreLoadCode::kWrongPassword:
            return Tr("пароль введен неверно");
        case KeyStoreLoadCode::kCannotOpen:
            return Tr("ошибка открытия ключа");
        case KeyStoreLoadCode::kBadVersion:
            return Tr("неверная версия файла ключа");
        case KeyStoreLoadCode::kDamaged:
            return Tr("ключ поврежден");
    }
    return "";
}

std::string_view SaveCodeText(KeyStoreSaveCode code) {
    switch (code) {
        case KeyStoreSaveCode::kOk:
            return Tr("Ключ успешно сохранен");
        case KeyStoreSaveCode::kCannotCreate:
            return Tr("Ошибка записи ключа, возможно он поврежден");
        case KeyStoreSaveCode::kShortWrite:
            return Tr("Ошибка сохранения ключа на диск");
    }
    return "";
}

std::string_view KeyStoreMissingText() {
    return Tr("файл ключа не найден");
}

std::string_view LoadFailureText(KeyStoreLoadCode code, const Path& path) {
    // Only a path known not to exist is "not found"; one that cannot be
    // looked at keeps the code's own text.
    if (code != KeyStoreLoadCode::kOk && LookAt(path, true) == PathState::kMissing) {
        return KeyStoreMissingText();
    }
    return LoadCodeText(code);
}

std::uint32_t ParseBaseN(std::string_view text, unsigned base) {
    std::uint32_t value = 0;
    for (const char ch : text) {
        std::uint32_t digit = 0;
        if (ch >= '0' && ch <= '9') {
            digit = static_cast<std::uint32_t>(ch - '0');
        } else if (ch >= 'A' && ch <= 'Z') {
            digit = static_cast<std::uint32_t>(ch - 'A') + 10;
        } else if (ch >= 'a' && ch <= 'z') {
            digit = static_cast<std::uint32_t>(ch - 'a') + 10;
        }
        // Horner's rule: each digit ends up weighted by base^(distance from
        // the last character).
        value = value * base + digit;
    }
    return value;
}

}  // namespace tazu
