// Where the key store lies. A store "Tazu16x32.key" beside the executable is
// a portable copy and wins; otherwise the store is the per-user one in
// $XDG_CONFIG_HOME/tazu16x32/ (by default ~/.config/tazu16x32/), because an
// installed program cannot keep a store in a system folder such as /usr/bin.
// The window program, the command line and scripts/run use this one rule.
#pragma once

#include <cstdint>
#include <string>

#include "cipher/random.h"
#include "io/path.h"
#include "keystore/keystore_file.h"

namespace tazu {

// What the rule looks at; taken from the running process by
// CurrentKeyStoreEnvironment, made up by tests.
struct KeyStoreEnvironment {
    Path program_folder;          // folder of the executable (may be empty)
    std::string xdg_config_home;  // $XDG_CONFIG_HOME, empty when unset
    std::string home;             // $HOME, else the passwd entry's home folder
};

KeyStoreEnvironment CurrentKeyStoreEnvironment();

struct KeyStoreLocation {
    Path path;              // the store to load and save
    bool portable = false;  // path lies beside the executable
    Path user_folder;       // the per-user folder; empty when no home is known
};

// The per-user folder: $XDG_CONFIG_HOME/tazu16x32 when that is an absolute
// path (the base-directory rules ignore a relative one), else
// HOME/.config/tazu16x32. Empty when neither is known.
Path UserKeyStoreFolder(const KeyStoreEnvironment& env);

// The portable store when anything lies at its place beside the executable
// (a dangling link too: the user meant that store, and its load says what is
// wrong with it), else the per-user store. Without a per-user folder the
// place beside the executable is kept.
KeyStoreLocation LocateKeyStore(const KeyStoreEnvironment& env);
KeyStoreLocation LocateKeyStore();

// Makes the per-user folder and any missing parents, owner-only (0700), as
// a folder holding the personal code must be. Tightens the folder itself to
// 0700 when it exists with looser bits. False with errno-style code in
// error_number when it cannot be made.
bool MakeUserKeyStoreFolder(const Path& folder, int& error_number);

enum class FirstStoreOutcome : std::uint8_t {
    kNotFirst,  // a store is used already, or its per-user folder exists
    kMade,      // the per-user folder and a first store in it were made
    kFailed,    // they could not be made; nothing was left behind
};

// The first start of a program with no key store anywhere: when the
// location is the per-user store and the per-user folder does not exist
// yet, makes the folder and an unprotected first store with the given
// settings in it. An existing per-user folder without a store means the
// store was there and is gone, which the key-store prompt reports; that is
// left alone here. On kFailed the folder is removed again (when empty), so
// the next start tries anew, and error_number says why.
FirstStoreOutcome MakeFirstKeyStore(const KeyStoreLocation& location, std::uint8_t settings,
                                    Random& random, int& error_number);

// Why a save or load of the store at path failed, in one English phrase for
// the command line: a folder or file that may not be written or read is a
// permission problem, a missing folder is named, a store that does not read
// is damaged. error_number is the system's code of the failed step (0 when
// none is known).
std::string KeyStoreSaveCause(KeyStoreSaveCode code, int error_number, const Path& path);
std::string KeyStoreLoadCause(KeyStoreLoadCode code, int error_number, const Path& path);

}  // namespace tazu
