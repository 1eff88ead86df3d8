#include "cli/keystore_access.h"

#include <system_error>

#include "cipher/constants.h"
#include "format/language.h"
#include "io/native.h"
#include "keystore/keystore_location.h"

namespace tazu::cli {
namespace {

bool Exists(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
}

std::string FailureLine(KeyStoreLoadCode code, int error_number, const std::filesystem::path& path,
                        const Args& args) {
    std::string line = std::string(LoadFailureText(code, path)) + ": " + PathString(path);
    if (code == KeyStoreLoadCode::kCannotOpen && Exists(path)) {
        line += " (" + KeyStoreLoadCause(code, error_number, path) + ")";
    }
    if (!Exists(path)) {
        std::string command = "tazu16x32-cli keystore-new";
        if (args.Value("--keystore")) {
            command += " --keystore " + PathString(path);
        }
        line +=
            TrFill("\nсоздайте его так: {} (или укажите другой через --keystore ПУТЬ)", {command});
    }
    return line;
}

bool HasKeyStorePasswordOption(const Args& args) {
    return args.Has("--keystore-password-file") || args.Has("--keystore-password-file-raw");
}

}  // namespace

std::filesystem::path KeyStorePath(const Args& args) {
    if (auto p = args.Value("--keystore")) {
        return PathFromText(*p);
    }
    return LocateKeyStore().path;
}

bool LoadKeyStoreWithPassword(const Args& args, KeyStoreValues& values, Str255& password,
                              bool& is_protected, std::string& error) {
    const std::filesystem::path path = KeyStorePath(args);
    is_protected = false;
    password = DefaultPassword();
    int error_number = 0;
    KeyStoreLoadCode code = ReadKeyStoreFile(path, password, values, error_number);
    if (code != KeyStoreLoadCode::kWrongPassword) {
        if (code != KeyStoreLoadCode::kOk) {
            error = FailureLine(code, error_number, path, args);
            return false;
        }
        return true;
    }
    // The default password does not open it: the store is protected.
    is_protected = true;
    PasswordSource source;
    if (!PasswordSourceFrom(args, source, error, "--keystore-password")) {
        return false;
    }
    if (source.kind == PasswordSource::Kind::kTerminal && !HasTerminal()) {
        error = TrFill(
            "файл ключа {} защищен, а терминала, чтобы спросить его пароль, нет: "
            "укажите пароль через --keystore-password-file F",
            {PathString(path)});
        return false;
    }
    if (!ReadPassword(source, std::string(Tr("Пароль ключа: ")), false, password, error)) {
        error = TrFill("пароль файла ключа: {}", {error});
        return false;
    }
    code = ReadKeyStoreFile(path, password, values, error_number);
    if (code != KeyStoreLoadCode::kOk) {
        password.Wipe();
        error = FailureLine(code, error_number, path, args);
        return false;
    }
    return true;
}

bool LoadKeyStoreForCommand(const Args& args, KeyStoreValues& values, std::string& error) {
    Str255 password;
    WipeOnExit wipe(password);
    bool is_protected = false;
    return LoadKeyStoreWithPassword(args, values, password, is_protected, error);
}

void UseKeyStoreStandIns(KeyStoreValues& values) {
    // Key marks are at most 128 bytes, so a 129-byte one equals none.
    values.personal_code = Str255(std::string(128, '\0'));
    values.key_mark = Str255(std::string(129, '-'));
}

KeyStoreUse LoadKeyStoreIfPresent(const Args& args, KeyStoreValues& values, std::string& error) {
    const std::filesystem::path path = KeyStorePath(args);
    if (!args.Value("--keystore") && !Exists(path)) {
        UseKeyStoreStandIns(values);
        return KeyStoreUse::kAbsent;
    }
    if (!HasKeyStorePasswordOption(args) &&
        ReadKeyStoreFile(path, DefaultPassword(), values) == KeyStoreLoadCode::kWrongPassword &&
        !HasTerminal()) {
        UseKeyStoreStandIns(values);
        return KeyStoreUse::kLocked;
    }
    if (!LoadKeyStoreForCommand(args, values, error)) {
        if (args.Value("--keystore")) {
            return KeyStoreUse::kFailed;
        }
        // Only entries made with the personal code need it: go on without.
        PrintErrorLines(error);
        UseKeyStoreStandIns(values);
        return KeyStoreUse::kUnread;
    }
    return KeyStoreUse::kLoaded;
}

std::string OtherKeyStoreHint(KeyStoreUse use, const Args& args) {
    const std::string path = PathString(KeyStorePath(args));
    switch (use) {
        case KeyStoreUse::kAbsent:
            return TrFill(
                "файл ключа не прочитан (по пути {} его нет): записи с персональным "
                "кодом нужен файл ключа, с которым она сделана; укажите его через "
                "--keystore ПУТЬ",
                {path});
        case KeyStoreUse::kLocked:
            return TrFill(
                "файл ключа {} защищен и не открыт: укажите его пароль через "
                "--keystore-password-file F или другой файл ключа через --keystore ПУТЬ",
                {path});
        case KeyStoreUse::kUnread:
            return TrFill(
                "файл ключа {} не прочитан (см. выше): укажите тот, с которым сделан "
                "этот архив, через --keystore ПУТЬ",
                {path});
        case KeyStoreUse::kLoaded:
        case KeyStoreUse::kFailed:
            break;
    }
    return TrFill(
        "архив сделан не с файлом ключа {}: укажите тот, с которым он сделан, через "
        "--keystore ПУТЬ",
        {path});
}

}  // namespace tazu::cli
