// Where the store lives and the texts its outcomes are shown with.
#include <system_error>

#include "cipher/constants.h"
#include "cipher/platform.h"
#include "keystore/key_store.h"
#include "keystore/keystore_file.h"

namespace tazu {

std::filesystem::path DefaultKeyStorePath() {
    // Without a known program folder the store is looked for by its bare
    // name, in the current folder.
    return ProgramFolder() / std::string(kKeyStoreFileName);
}

std::string_view LoadCodeText(KeyStoreLoadCode code) {
    switch (code) {
        case KeyStoreLoadCode::kOk:
            return "";
        case KeyStoreLoadCode::kWrongPassword:
            return "пароль введен неверно";
        case KeyStoreLoadCode::kCannotOpen:
            return "ошибка открытия ключа";
        case KeyStoreLoadCode::kBadVersion:
            return "неверная версия файла ключа";
        case KeyStoreLoadCode::kDamaged:
            return "ключ поврежден";
    }
    return "";
}

std::string_view SaveCodeText(KeyStoreSaveCode code) {
    switch (code) {
        case KeyStoreSaveCode::kOk:
            return "Ключ успешно сохранен";
        case KeyStoreSaveCode::kCannotCreate:
            return "Ошибка записи ключа, возможно он поврежден";
        case KeyStoreSaveCode::kShortWrite:
            return "Ошибка сохранения ключа на диск";
    }
    return "";
}

std::string_view KeyStoreMissingText() {
    return "файл ключа не найден";
}

std::string_view LoadFailureText(KeyStoreLoadCode code, const std::filesystem::path& path) {
    std::error_code ec;
    // Only a path known not to exist is "not found"; one that cannot be
    // looked at keeps the code's own text.
    if (code != KeyStoreLoadCode::kOk && !std::filesystem::exists(path, ec) && !ec) {
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
