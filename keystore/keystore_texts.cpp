// Where the store lives and the texts its outcomes are shown with.
#include <cerrno>
#include <cstring>
#include <string>

#include "cipher/constants.h"
#include "format/language.h"
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
            return writing ? "permission denied: this user may not write the store or its folder " +
                                 FolderOf(path)
                           : "permission denied: this user may not read the store";
        case EROFS:
            return "the folder " + FolderOf(path) + " is on a read-only file system";
        case ENOENT:
            return writing ? "the folder " + FolderOf(path) + " does not exist"
                           : "no key store there";
        case ENOTDIR:
            return "a part of the path " + FolderOf(path) + " is not a folder";
        case EISDIR:
            return "the path is a folder, not a key store file";
        case ELOOP:
            if (writing) {
                return "the store is a symbolic link that is not followed (another user's link "
                       "in a shared folder, or links that do not end): not replaced";
            }
            break;
        case EINVAL:
            return "the path is not a regular file";
        case ENOSPC:
#ifdef EDQUOT  // a disk quota, where the system has them
        case EDQUOT:
#endif
            return "no space left on the disk";
        case 0:
            return "";
    }
    return std::strerror(error_number);
}

}  // namespace

std::string KeyStoreSaveCause(KeyStoreSaveCode code, int error_number, const Path& path) {
    if (code == KeyStoreSaveCode::kOk) {
        return "";
    }
    std::string cause = SystemCause(error_number, path, /*writing=*/true);
    if (cause.empty()) {
        cause = code == KeyStoreSaveCode::kShortWrite ? "writing to the disk failed"
                                                      : "the store could not be created";
    }
    return cause;
}

std::string KeyStoreLoadCause(KeyStoreLoadCode code, int error_number, const Path& path) {
    switch (code) {
        case KeyStoreLoadCode::kOk:
            return "";
        case KeyStoreLoadCode::kWrongPassword:
            return "the protection password does not open it";
        case KeyStoreLoadCode::kBadVersion:
            return "the file is not a key store, or is damaged at its start";
        case KeyStoreLoadCode::kDamaged:
            return "the store is damaged: a record fails its signature in both copies";
        case KeyStoreLoadCode::kCannotOpen:
            break;
    }
    const std::string cause = SystemCause(error_number, path, /*writing=*/false);
    return cause.empty() ? "the file cannot be opened" : cause;
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
