// Building blocks of the keyed transforms, shared by keyed.cpp and the fused
// block cipher. Not for use outside cipher/.
//
// KeyedAdd is linear in its data: KeyedAdd(x, k)[i] = x[i] + z[i] (mod 256),
// where z = KeyedAdd(zeros, k) depends on the key and the data length only.
// Key byte j is used at positions j, j + K, j + 2K, ..., and stepping a byte
// m times through the table is affine: T^m(x) = a[m] * x + b[m] (mod 256).
#pragma once

#include <cstddef>
#include <cstdint>

#include "cipher/kernel_tables.h"

namespace tazu::internal {

// Sum of count key bytes, each stepped m times.
std::uint32_t SteppedSum(const std::uint8_t* key, std::size_t count, std::size_t m);

// Sum of a key's bytes as they stand after its walk over len bytes.
std::uint32_t WalkedKeySum(const std::uint8_t* key, std::size_t key_len, std::size_t len);

// The constant the current transform adds for a key of key_len bytes whose
// bytes sum to walked_sum after the walk.
std::uint8_t CurrentDeltaOfSum(std::size_t key_len, std::uint32_t walked_sum);

// b[i] += z[i] for i < len, returning the sum the key b would have after a
// walk over split bytes (split <= len): its first split bytes stepped once.
std::uint32_t AddStreamWalkedSum(std::uint8_t* b, const std::uint8_t* z, std::size_t len,
                                 std::size_t split);

// b[i] += z[i] for i < len with z = KeyedAdd(zeros(len), key) for a key of
// 1 to 15 bytes shorter than len, whose constant is delta, in one pass;
// returns the sum of b after a walk over split (<= len) bytes.
std::uint32_t AdvanceShortKey(std::uint8_t* b, std::size_t len, const std::uint8_t* key,
                              std::size_t key_len, std::uint8_t delta, std::size_t split);

// The constant the current transform adds after walking a key of key_len
// bytes over len bytes of data.
std::uint8_t CurrentDelta(const std::uint8_t* key, std::size_t key_len, std::size_t len);

// z = KeyedAdd(zeros(len), key) for any len and non-empty key.
void KeyStream(const std::uint8_t* key, std::size_t key_len, std::size_t len, std::uint8_t delta,
               std::uint8_t* z);

// out[i] = x[i] + z[i], or x[i] - z[i].
void AddStream(std::uint8_t* out, const std::uint8_t* x, const std::uint8_t* z, std::size_t n);
void SubStream(std::uint8_t* out, const std::uint8_t* x, const std::uint8_t* z, std::size_t n);

// out[i] = x[i] - k1[i] - k2[i] - delta.
void SubTwoKeys(std::uint8_t* out, const std::uint8_t* x, const std::uint8_t* k1,
                const std::uint8_t* k2, std::size_t n, std::uint8_t delta);

// Kernels().encipher_block: one block enciphered and the block key advanced
// with its random bytes; returns the key's walked sum over the block.
std::uint32_t EncipherBlock(std::uint8_t* ciphertext, const std::uint8_t* chunk,
                            std::size_t chunk_len, const std::uint8_t* random, std::uint8_t* b1,
                            std::size_t len, const std::uint8_t* b2, std::uint8_t delta,
                            const RandomWalk& walk);

// Kernels().decipher_block: one block deciphered and the block key advanced
// with its random bytes; returns the key's walked sum over n bytes.
std::uint32_t DecipherBlock(std::uint8_t* plain, const std::uint8_t* c, std::size_t n,
                            std::uint8_t* b1, std::size_t len, const std::uint8_t* b2,
                            std::uint8_t delta, const RandomWalk& walk);

// The running sum S of KeyedDigest over len (1 to 255) bytes, wrapped to 32
// bits.
std::uint32_t DigestSum(const std::uint8_t* d, std::uint32_t len);

// Digest bytes 1 and 2 of a running sum S: the low bytes of
// AffineMod(S, 511) and AffineMod(S, 510).
inline void DigestPair(std::uint32_t s, std::uint8_t* out) {
    const auto w = static_cast<std::int32_t>(s * 9u + 7u);
    out[0] = static_cast<std::uint8_t>(w % 511);
    out[1] = static_cast<std::uint8_t>(w % 510);
}

}  // namespace tazu::internal
