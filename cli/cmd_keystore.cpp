// keystore-new, keystore-info and keystore-passwd: making a first key store,
// showing what it holds (never the personal code itself), and changing or
// removing its protection password.
#include <cstdio>
#include <iostream>
#include <system_error>

#include "cipher/constants.h"
#include "cipher/random.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/help.h"
#include "cli/keystore_access.h"
#include "format/language.h"
#include "io/native.h"
#include "keystore/keystore_file.h"
#include "keystore/keystore_location.h"

namespace tazu::cli {
namespace {

constexpr std::uint8_t kDefaultSettings = 0x18;  // hide passwords, save settings on exit

// A settings byte in decimal or with 0x in hexadecimal, 0 to 255.
bool ParseSettingsByte(const std::string& text, std::uint8_t& value) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string digits = hex ? text.substr(2) : text;
    if (digits.empty() || digits.size() > 4) {
        return false;
    }
    unsigned v = 0;
    for (const char c : digits) {
        unsigned d = 0;
        if (c >= '0' && c <= '9') {
            d = static_cast<unsigned>(c - '0');
        } else if (hex && c >= 'a' && c <= 'f') {
            d = static_cast<unsigned>(c - 'a' + 10);
        } else if (hex && c >= 'A' && c <= 'F') {
            d = static_cast<unsigned>(c - 'A' + 10);
        } else {
            return false;
        }
        v = v * (hex ? 16 : 10) + d;
    }
    if (v > 255) {
        return false;
    }
    value = static_cast<std::uint8_t>(v);
    return true;
}

std::string Hex(std::uint8_t b) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%02X", b);
    return buf;
}

// The key mark as text when it is printable ASCII, else in hexadecimal.
std::string Printable(const Str255& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] < 0x20 || s[i] > 0x7E) {
            out = "hex:";
            for (std::size_t j = 0; j < s.size(); ++j) {
                char buf[4];
                std::snprintf(buf, sizeof buf, "%02x", s[j]);
                out += buf;
            }
            return out;
        }
        out.push_back(static_cast<char>(s[i]));
    }
    return out;
}

int Fail(const std::string& message) {
    PrintErrorLines(message);
    return kExitKeyStore;
}

int Usage(const std::string& command, const std::string& message) {
    return UsageError(command, message);
}

// A failed save names the cause: a folder this user may not write is a
// permission problem, not a damaged store.
int FailSave(KeyStoreSaveCode code, int error_number, const std::filesystem::path& path) {
    return Fail(TrFill("не удалось сохранить файл ключа {}: {}",
                       {PathString(path), KeyStoreSaveCause(code, error_number, path)}));
}

// The per-user folder is made (owner-only) when the store is to go there.
bool PrepareFolder(const Args& args, std::string& error) {
    const KeyStoreLocation location = LocateKeyStore();
    if (args.Value("--keystore") || location.portable) {
        return true;
    }
    int error_number = 0;
    if (!MakeUserKeyStoreFolder(location.user_folder, error_number)) {
        error = TrFill(
            "не удалось создать папку {}: {}",
            {PathString(location.user_folder),
             KeyStoreSaveCause(KeyStoreSaveCode::kCannotCreate, error_number, location.path)});
        return false;
    }
    return true;
}

bool NoPositional(const Args& args, std::string& error) {
    if (!args.Ok()) {
        error = args.Error();
        return false;
    }
    if (!args.Positional().empty()) {
        error = TrFill("лишний аргумент {}", {args.Positional().front()});
        return false;
    }
    return true;
}

}  // namespace

int RunKeystoreNew(const Args& args) {
    std::string error;
    PasswordSource source;
    if (!NoPositional(args, error) || !PasswordSourceFrom(args, source, error)) {
        return Usage("keystore-new", error);
    }
    std::uint8_t settings = kDefaultSettings;
    if (auto text = args.Value("--settings"); text && !ParseSettingsByte(*text, settings)) {
        return Usage(
            "keystore-new",
            TrFill("--settings принимает байт, от 0 до 255 или от 0x00 до 0xFF: {}", {*text}));
    }
    const std::filesystem::path path = KeyStorePath(args);
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::symlink_status(path, ec)) &&
        !args.Has("--force")) {
        return Usage("keystore-new",
                     TrFill("файл ключа {} уже существует (--force заменит его, а с ним и "
                            "персональный код)",
                            {PathString(path)}));
    }
    const bool protect = args.Has("--protect");
    if (!protect && source.kind != PasswordSource::Kind::kTerminal) {
        return Usage("keystore-new", std::string(Tr("параметрам пароля нужен --protect")));
    }
    Str255 password;  // empty: the default password, no protection
    WipeOnExit wipe(password);
    if (protect && !ReadPassword(source, std::string(Tr("Новый пароль файла ключа: ")), true,
                                 password, error)) {
        PrintError(error);
        return kExitUsage;
    }
    if (!PrepareFolder(args, error)) {
        return Fail(error);
    }
    int error_number = 0;
    const KeyStoreSaveCode code =
        CreateKeyStoreFile(path, password, settings, ProgramRandom(), &error_number);
    if (code != KeyStoreSaveCode::kOk) {
        return FailSave(code, error_number, path);
    }
    std::cout << TrFill("Файл ключа создан: {}\n", {PathString(path)});
    return 0;
}

int RunKeystoreInfo(const Args& args) {
    std::string error;
    if (!NoPositional(args, error)) {
        return Usage("keystore-info", error);
    }
    KeyStoreValues values;
    WipeOnExit wipe_code(values.personal_code);
    Str255 password;
    WipeOnExit wipe_password(password);
    bool is_protected = false;
    if (!LoadKeyStoreWithPassword(args, values, password, is_protected, error)) {
        return Fail(error);
    }
    struct Switch {
        SettingsBit bit;
        std::string_view name;
    };
    static constexpr Switch kSwitches[] = {
        {kUsePersonalCodeBit, TextKey("шифровать с персональным кодом")},
        {kSelfDecryptingBit, TextKey("встраивать модуль саморасшифровки")},
        {kHidePasswordsBit, TextKey("скрывать пароли при вводе")},
        {kSaveOnExitBit, TextKey("сохранять настройки при выходе")},
        {kSecondPictureBit, TextKey("вторая картинка \"О программе\"")},
    };
    const std::uint8_t s = values.settings;
    std::cout << TrFill("Файл ключа: {}\n", {PathString(KeyStorePath(args))})
              << Tr("Загружается: да\n")
              << TrFill("Защищен: {}\n", {is_protected ? Tr("да") : Tr("нет")})
              << TrFill("Байт настроек: {}\n", {Hex(s)});
    for (const Switch& sw : kSwitches) {
        std::cout << "  " << Tr(sw.name) << ": "
                  << (SettingsBitSet(s, sw.bit) ? Tr("вкл") : Tr("выкл")) << "\n";
    }
    std::cout << TrFill("  биты 7, 1, 0 (сохраняются как есть): {} {} {}\n",
                        {std::to_string((s >> 7) & 1), std::to_string((s >> 1) & 1),
                         std::to_string(s & 1)})
              << TrFill("Метка ключа: {}\n", {Printable(values.key_mark)})
              << TrFill("Персональный код: {} байт\n",
                        {std::to_string(values.personal_code.size())});
    return 0;
}

int RunKeystorePasswd(const Args& args) {
    std::string error;
    PasswordSource source;
    if (!NoPositional(args, error) || !PasswordSourceFrom(args, source, error)) {
        return Usage("keystore-passwd", error);
    }
    KeyStoreValues values;
    WipeOnExit wipe_code(values.personal_code);
    Str255 old_password;
    WipeOnExit wipe_old(old_password);
    bool was_protected = false;
    if (!LoadKeyStoreWithPassword(args, values, old_password, was_protected, error)) {
        return Fail(error);
    }
    Str255 password;
    WipeOnExit wipe_new(password);
    if (!ReadPassword(source, std::string(Tr("Новый пароль файла ключа (пустой снимает защиту): ")),
                      true, password, error, /*allow_empty=*/true)) {
        PrintError(error);
        return kExitUsage;
    }
    WarnIfWeakPassword(password, args.Has("--quiet"));
    // The settings byte, personal code and key mark are written back as read.
    const std::filesystem::path path = KeyStorePath(args);
    int error_number = 0;
    const KeyStoreSaveCode code =
        WriteKeyStoreFile(path, password, values, ProgramRandom(), error_number);
    if (code != KeyStoreSaveCode::kOk) {
        return FailSave(code, error_number, path);
    }
    const bool now_protected = !password.empty() && !(password == DefaultPassword());
    std::cout << (now_protected ? TrFill("Пароль защиты задан: {}\n", {PathString(path)})
                                : TrFill("Защита снята: {}\n", {PathString(path)}));
    return 0;
}

}  // namespace tazu::cli
