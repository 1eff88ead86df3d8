// The key-store file "Tazu16x32.key": one 1032-byte copy written twice, the
// second being the backup of the first.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "cipher/random.h"
#include "cipher/str255.h"

namespace tazu {

enum class KeyStoreLoadCode : std::uint8_t {
    kOk = 0,
    kWrongPassword = 1,  // the check record does not open with the password
    kCannotOpen = 2,     // the file cannot be opened
    kBadVersion = 3,     // the first 13 bytes are not the marker
    kDamaged = 4,        // a record fails its signature in both copies
};

enum class KeyStoreSaveCode : std::uint8_t {
    kOk = 0,
    kCannotCreate = 2,  // the file cannot be created
    kShortWrite = 3,    // fewer bytes were written than the buffer holds
};

struct KeyStoreValues {
    std::uint8_t settings = 0;
    Str255 personal_code;
    Str255 key_mark;
};

// Reads the store at path with the protection password (empty means the
// default password). On kOk, values holds the settings byte, the personal
// code and the key mark.
KeyStoreLoadCode ReadKeyStoreFile(const std::filesystem::path& path, const Str255& password,
                                  KeyStoreValues& values);

// Writes a store with a fresh salt and fresh envelopes (empty password means
// the default password). The old store at path is replaced only once the new
// one is completely on disk; on failure it is left untouched.
KeyStoreSaveCode WriteKeyStoreFile(const std::filesystem::path& path, const Str255& password,
                                   const KeyStoreValues& values, Random& random);

// "Tazu16x32.key" in the folder of the running program.
std::filesystem::path DefaultKeyStorePath();

// Status texts of the load and save codes, exactly as the program shows them.
std::string_view LoadCodeText(KeyStoreLoadCode code);
std::string_view SaveCodeText(KeyStoreSaveCode code);

}  // namespace tazu
