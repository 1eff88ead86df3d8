// Loading the key store for a command of the command-line companion.
//
// Commands that use LoadKeyStoreForCommand must accept the value options
// "--keystore" (the store's path; default: Tazu16x32.key in the program's
// folder) and "--keystore-password-file" (a file whose bytes are the store's
// protection password).
#pragma once

#include <filesystem>
#include <string>

#include "cipher/str255.h"
#include "cli/common.h"
#include "keystore/keystore_file.h"

namespace tazu::cli {

// Loads the store at KeyStorePath(args) with the default password. When it
// is protected, the protection password comes from --keystore-password-file
// when given, else it is asked on the terminal ("Key store password: ",
// without echo); with neither the load fails. On failure error holds one
// line, with the store's status text ("файл ключа не найден", "ключ
// поврежден", "пароль введен неверно", ...). On success values holds the
// plain settings byte, personal code and key mark: wipe them when done.
bool LoadKeyStoreForCommand(const Args& args, KeyStoreValues& values, std::string& error);

// The same, also telling whether the store is protected and handing back the
// protection password used (the default password when unprotected).
bool LoadKeyStoreWithPassword(const Args& args, KeyStoreValues& values, Str255& password,
                              bool& is_protected, std::string& error);

}  // namespace tazu::cli

namespace tazu {
using cli::LoadKeyStoreForCommand;
}  // namespace tazu
