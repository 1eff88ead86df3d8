// The keyed transforms of Str255 values that every cipher, envelope and
// signature of the program is built from.
//
// Integer arithmetic follows the program's fixed rules: signed 32-bit values
// that wrap around on overflow and remainders that take the sign of the
// dividend. Wrap-around is computed in unsigned arithmetic and converted, so
// no C++ signed overflow ever happens.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "cipher/str255.h"

namespace tazu {

// T[i] = (9 * i + 7) mod 256: the permutation every used key byte is stepped
// through.
inline constexpr std::array<std::uint8_t, 256> kKeyStepTable = [] {
    std::array<std::uint8_t, 256> t{};
    for (int i = 0; i < 256; ++i) {
        t[i] = static_cast<std::uint8_t>((9 * i + 7) % 256);
    }
    return t;
}();

// The 32-bit product 9 * a + 7 with wrap-around.
inline std::int32_t WrapAffine(std::int32_t a) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) * 9u + 7u);
}

// (9 * a + 7) mod m with 32-bit wrap-around and a truncating remainder; m = 0
// counts as 1.
std::int32_t AffineMod(std::int32_t a, std::int32_t m);

// Adds the key to the data byte by byte, stepping every used key byte, then
// adds a constant derived from the stepped key. Empty data or key give empty.
Str255 KeyedAdd(const Str255& data, const Str255& key);

// The inverse of KeyedAdd: KeyedSub(KeyedAdd(x, k), k) == x.
Str255 KeyedSub(const Str255& data, const Str255& key);

// n digest bytes (0 to 255) of the data, KeyedAdd-ed with the key when the key
// is not empty. KeyedDigest(record, 2, key) is the record signature. Empty
// data gives empty.
Str255 KeyedDigest(const Str255& data, std::size_t n, const Str255& key);

// True when sig is the keyed digest of data (false for empty data or sig).
bool VerifyDigest(const Str255& data, const Str255& sig, const Str255& key);

// The 8-character binary form of b, most significant bit first.
Str255 ByteToBits(std::uint8_t b);

// Variants read only in archives of format versions 00 to 02. They share the
// key walk and differ in the constant added after it.
Str255 KeyedAdd00(const Str255& data, const Str255& key);
Str255 KeyedSub00(const Str255& data, const Str255& key);
Str255 KeyedAdd02(const Str255& data, const Str255& key);
Str255 KeyedSub02(const Str255& data, const Str255& key);

// The unkeyed positional digest of versions 00 to 02: n bytes, or empty for
// empty data or n = 0.
Str255 PlainDigest(const Str255& data, std::size_t n);

// True when sig equals PlainDigest(data, length of sig) (false when empty).
bool VerifyPlainDigest(const Str255& data, const Str255& sig);

}  // namespace tazu
