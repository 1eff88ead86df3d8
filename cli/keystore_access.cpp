#include "cli/keystore_access.h"

#include "cipher/constants.h"
#include "keystore/keystore_location.h"

namespace tazu::cli {
namespace {

// The store's status text and path, with the cause in brackets where the
// status text alone does not say it.
std::string FailureLine(KeyStoreLoadCode code, int error_number,
                        const std::filesystem::path& path) {
    const std::string_view text = LoadFailureText(code, path);
    std::string line = std::string(text) + ": " + path.string();
    if (text == KeyStoreMissingText()) {
        return line + " (tazu16x32-cli keystore-new makes a first one)";
    }
    if (code == KeyStoreLoadCode::kCannotOpen) {
        line += " (" + KeyStoreLoadCause(code, error_number, path) + ")";
    }
    return line;
}

}  // namespace

bool LoadKeyStoreWithPassword(const Args& args, KeyStoreValues& values, Str255& password,
                              bool& is_protected, std::string& error) {
    const std::filesystem::path path = KeyStorePath(args);
    is_protected = false;
    password = DefaultPassword();
    int error_number = 0;
    KeyStoreLoadCode code = ReadKeyStoreFile(path, password, values, error_number);
    if (code != KeyStoreLoadCode::kWrongPassword) {
        if (code != KeyStoreLoadCode::kOk) {
            error = FailureLine(code, error_number, path);
            return false;
        }
        return true;
    }
    // The default password does not open it: the store is protected.
    is_protected = true;
    PasswordSource source;
    source.file = args.Value("--keystore-password-file").value_or("");
    if (source.file.empty() && !StdinIsTerminal()) {
        error = "the key store is protected: give its password with --keystore-password-file F";
        return false;
    }
    if (!ReadPassword(source, "Key store password: ", false, password, error)) {
        return false;
    }
    code = ReadKeyStoreFile(path, password, values, error_number);
    if (code != KeyStoreLoadCode::kOk) {
        password.Wipe();
        error = FailureLine(code, error_number, path);
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

}  // namespace tazu::cli
