// The loaded key store in memory. The protection password, the personal
// code and the key mark are held only masked with a random mask key made at
// start and never stored; plain copies exist only while an operation uses
// them.
#pragma once

#include <cstdint>
#include <string_view>

#include "cipher/random.h"
#include "cipher/str255.h"
#include "io/path.h"
#include "keystore/keystore_file.h"

namespace tazu {

class KeyStore {
  public:
    // Makes the mask key: 128 + Random(128) bytes, each Random(255).
    explicit KeyStore(Random& random);
    ~KeyStore();  // wipes the slots and the mask key

    // Reads the store (empty password: the default password). On kOk the
    // slots hold the password used, the personal code and the key mark, and
    // Settings() the settings byte as loaded.
    KeyStoreLoadCode Load(const Path& path, const Str255& password);
    bool Loaded() const { return loaded_; }

    // kind 1: protection password, 2: personal code, 3: key mark. Any other
    // kind gives empty. The caller wipes the copy when done.
    Str255 GetKeyStoreValue(int kind) const;

    // Sets slot 1; an empty password means the default password.
    void SetProtectionPassword(const Str255& password);
    // True when the protection password differs from the default password.
    bool IsProtected() const;

    // The stored settings byte: as loaded, then as last saved.
    std::uint8_t Settings() const { return settings_; }

    // Saves the slots' values with the given settings byte, keeping bits 7, 1
    // and 0 as loaded. On kOk the stored settings byte becomes the one saved.
    KeyStoreSaveCode Save(const Path& path, std::uint8_t settings);

  private:
    Random& random_;
    Str255 mask_;
    Str255 slots_[3];
    std::uint8_t settings_ = 0;
    bool loaded_ = false;
};

// Reads text as a number in the given base: digits '0'-'9' count 0-9 and
// letters from 'A' count 10 on ('a' too), each weighted by the base to the
// power of its distance from the last character. Digits are not checked
// against the base; any other character counts 0; the sum wraps around at
// 2^32. The main window turns its switches into the settings byte by reading
// eight characters of '0' and '1', most significant bit first, in base 2:
// ParseBaseN("00011000", 2) == 0x18.
std::uint32_t ParseBaseN(std::string_view text, unsigned base);

}  // namespace tazu
