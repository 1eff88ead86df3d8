// The key-store file "Tazu16x32.key": one 1032-byte copy written twice, the
// second being the backup of the first.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "cipher/random.h"
#include "cipher/str255.h"
#include "io/path.h"

namespace tazu {

class OutputStream;

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

// The bits of the settings byte that carry a switch of the settings tab
// (bit 0 is the lowest). Bits 7, 1 and 0 carry none and are kept as loaded.
enum SettingsBit : int {
    kUsePersonalCodeBit = 6,  // encrypt with the personal code
    kSelfDecryptingBit = 5,   // embed the self-decrypting stub
    kHidePasswordsBit = 4,    // hide passwords while typing (and confirm them)
    kSaveOnExitBit = 3,       // save the settings on exit
    kSecondPictureBit = 2,    // the About page shows its second picture
};

inline constexpr bool SettingsBitSet(std::uint8_t settings, SettingsBit bit) {
    return ((settings >> bit) & 1) != 0;
}

struct KeyStoreValues {
    std::uint8_t settings = 0;
    Str255 personal_code;
    Str255 key_mark;
};

// Reads the store at path with the protection password (empty means the
// default password). On kOk, values holds the settings byte, the personal
// code and the key mark.
KeyStoreLoadCode ReadKeyStoreFile(const Path& path, const Str255& password, KeyStoreValues& values);
// The same, with the system's reason of a kCannotOpen in error_number
// (EISDIR for a folder, EINVAL for another file that is not a regular one;
// 0 for the other codes).
KeyStoreLoadCode ReadKeyStoreFile(const Path& path, const Str255& password, KeyStoreValues& values,
                                  int& error_number);
// The same over the first bytes of a store file (at most 8192 are looked at
// when reading a file), already in memory.
KeyStoreLoadCode ReadKeyStoreBytes(const std::vector<std::uint8_t>& data, const Str255& password,
                                   KeyStoreValues& values);

// Writes a store with a fresh salt and fresh envelopes (empty password means
// the default password). The old store at path is replaced only once the new
// one is completely on disk; on failure it is left untouched. The random
// generator is reseeded first. The 14th marker byte is always '0'.
//
// The new store goes to a temporary file in the same folder, is flushed and
// synced, and is then renamed over path. kCannotCreate: the temporary file
// cannot be created or cannot take path's place, or path names an existing
// store that may not be written; also for values no store can hold (a
// personal code of fewer than 128 bytes, an empty key mark or one of more
// than 128 bytes), in which case nothing is touched. kShortWrite: a write,
// the flush or the sync failed.
KeyStoreSaveCode WriteKeyStoreFile(const Path& path, const Str255& password,
                                   const KeyStoreValues& values, Random& random);
// The same, with the system's reason of a failure in error_number (EACCES
// for a folder or store that may not be written, ENOENT for a missing
// folder, ENOSPC for a full disk, ...; 0 when the values do not fit or no
// reason is known).
KeyStoreSaveCode WriteKeyStoreFile(const Path& path, const Str255& password,
                                   const KeyStoreValues& values, Random& random, int& error_number);

// Test seam of WriteKeyStoreFile: the store's bytes go through the stream
// that wrap returns for the temporary file (for example one that stops
// writing part-way). A null stream acts as a temporary file that cannot be
// created.
using KeyStoreOutputWrapper = std::function<std::unique_ptr<OutputStream>(OutputStream& file)>;
KeyStoreSaveCode WriteKeyStoreFile(const Path& path, const Str255& password,
                                   const KeyStoreValues& values, Random& random,
                                   const KeyStoreOutputWrapper& wrap, int* error_number = nullptr);

// The values of a first key store: a personal code of 128 to 255 random
// bytes, a key mark of 18 random characters from 0-9 and A-Z that is never
// eighteen "0", and the given settings byte.
KeyStoreValues MakeFirstKeyStoreValues(std::uint8_t settings, Random& random);

// Makes a first key store at path, protected by password (empty: the
// default password, that is, unprotected). Replaces any store at path.
KeyStoreSaveCode CreateKeyStoreFile(const Path& path, const Str255& password, std::uint8_t settings,
                                    Random& random, int* error_number = nullptr);

// The store the running program uses: "Tazu16x32.key" beside the
// executable when one lies there, else the per-user store (see
// keystore/keystore_location.h).
Path DefaultKeyStorePath();

// Status texts of the load and save codes, exactly as the program shows them.
// LoadCodeText(kOk) is empty; SaveCodeText(kOk) is the message of a save made
// on request ("Ключ успешно сохранен").
std::string_view LoadCodeText(KeyStoreLoadCode code);
std::string_view SaveCodeText(KeyStoreSaveCode code);

// "файл ключа не найден": shown instead of a load code's text when the
// store does not exist at all.
std::string_view KeyStoreMissingText();

// The text of a failed load of the store at path: the missing-file text when
// nothing exists at path, else the code's text.
std::string_view LoadFailureText(KeyStoreLoadCode code, const Path& path);

}  // namespace tazu
