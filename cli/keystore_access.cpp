#include "cli/keystore_access.h"

#include "cipher/constants.h"

namespace tazu::cli {
namespace {

std::string FailureLine(KeyStoreLoadCode code, const std::filesystem::path& path) {
    return std::string(LoadFailureText(code, path)) + ": " + path.string();
}

}  // namespace

bool LoadKeyStoreWithPassword(const Args& args, KeyStoreValues& values, Str255& password,
                              bool& is_protected, std::string& error) {
    const std::filesystem::path path = KeyStorePath(args);
    is_protected = false;
    password = DefaultPassword();
    KeyStoreLoadCode code = ReadKeyStoreFile(path, password, values);
    if (code != KeyStoreLoadCode::kWrongPassword) {
        if (code != KeyStoreLoadCode::kOk) {
            error = FailureLine(code, path);
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
    code = ReadKeyStoreFile(path, password, values);
    if (code != KeyStoreLoadCode::kOk) {
        password.Wipe();
        error = FailureLine(code, path);
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
