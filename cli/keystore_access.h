// Loading the key store for a command of the command-line companion.
//
// Commands that load the store accept the value options "--keystore" (the
// store's path; default: Tazu16x32.key in the program's folder) and
// "--keystore-password-file" / "--keystore-password-file-raw" (the store's
// protection password, read like --password-file / --password-file-raw).
#pragma once

#include <filesystem>
#include <string>

#include "cipher/str255.h"
#include "cli/command_line.h"
#include "keystore/keystore_file.h"

namespace tazu::cli {

// The key store path: --keystore, else DefaultKeyStorePath().
std::filesystem::path KeyStorePath(const Args& args);

// Loads the store at KeyStorePath(args) with the default password. When it
// is protected, the protection password comes from the key-store password
// options when given, else it is asked on the terminal ("Key store
// password: ", without echo); with neither the load fails. On failure error
// holds the store's status text ("файл ключа не найден", "ключ поврежден",
// "пароль введен неверно", ...) with the path, and for a missing store a
// second line saying how to make one. On success values holds the plain
// settings byte, personal code and key mark: wipe them when done.
bool LoadKeyStoreForCommand(const Args& args, KeyStoreValues& values, std::string& error);

// The same, also telling whether the store is protected and handing back the
// protection password used (the default password when unprotected).
bool LoadKeyStoreWithPassword(const Args& args, KeyStoreValues& values, Str255& password,
                              bool& is_protected, std::string& error);

// What reading an archive found of the key store.
enum class KeyStoreUse {
    kLoaded,  // the store was read: its personal code and key mark are in values
    kAbsent,  // no store at the default path: stand-ins are in values
    kLocked,  // protected, and no way to give its password: stand-ins
    kUnread,  // the default store does not load: stand-ins (a warning was printed)
    kFailed,  // given with --keystore but missing, damaged or not opened: error says
};

// For reading archives: the store when there is one, else stand-ins that no
// entry's key mark can equal, so entries made without the personal code
// open and entries made with it end with the "another key store" code.
KeyStoreUse LoadKeyStoreIfPresent(const Args& args, KeyStoreValues& values, std::string& error);

// Stand-ins for the personal code and key mark where no key store is used.
void UseKeyStoreStandIns(KeyStoreValues& values);

// The hint printed after the "another key store" message.
std::string OtherKeyStoreHint(KeyStoreUse use, const Args& args);

}  // namespace tazu::cli

namespace tazu {
using cli::LoadKeyStoreForCommand;
}  // namespace tazu
