// The vector kernels of the keyed transforms, in one table per instruction
// set: plain C++ (any processor), AVX2 and AVX-512 (BW, VBMI, VL) on x86-64.
// The widest set the processor has is chosen once, on first use; tests
// force each set in turn so every one of them is checked on the machines
// that have it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tazu {

enum class KernelSet { kPlain, kAvx2, kAvx512 };

inline constexpr KernelSet kAllKernelSets[] = {KernelSet::kPlain, KernelSet::kAvx2,
                                               KernelSet::kAvx512};

// "plain", "avx2" or "avx512".
const char* KernelSetName(KernelSet set);

// True when this processor (and this build) can run the set.
bool KernelSetSupported(KernelSet set);

// The set in use.
KernelSet ActiveKernelSet();

// Makes set the one in use from now on, when supported (false otherwise,
// and nothing changes). For tests and benchmarks: call it while no cipher
// work runs on another thread.
bool ForceKernelSet(KernelSet set);

namespace internal {

struct RandomWalk;

// One instruction set's kernels. The byte loops wrap around modulo 256.
// The outputs of table_bytes, add_two_keys and sub_two_keys never overlap
// their inputs; add_stream and sub_stream may work in place (out == x).
struct KernelTable {
    // z[i] = a * key[i] + b.
    void (*affine_bytes)(std::uint8_t* z, const std::uint8_t* key, std::size_t n, std::uint8_t a,
                         std::uint8_t b);
    // z[i] = a[i] * repeated[i] + b[i] + delta.
    void (*table_bytes)(std::uint8_t* z, const std::uint8_t* repeated, const std::uint8_t* a,
                        const std::uint8_t* b, std::size_t n, std::uint8_t delta);
    // out[i] = key[i % key_len] for i < len; out holds 256 bytes.
    void (*repeat_key)(const std::uint8_t* key, std::size_t key_len, std::size_t len,
                       std::uint8_t* out);
    std::uint32_t (*stepped_sum)(const std::uint8_t* key, std::size_t count, std::size_t m);
    std::uint32_t (*add_stream_walked_sum)(std::uint8_t* b, const std::uint8_t* z, std::size_t len,
                                           std::size_t split);
    void (*add_two_keys)(std::uint8_t* out, const std::uint8_t* x, const std::uint8_t* k1,
                         const std::uint8_t* k2, std::size_t n, std::uint8_t delta);
    void (*sub_two_keys)(std::uint8_t* out, const std::uint8_t* x, const std::uint8_t* k1,
                         const std::uint8_t* k2, std::size_t n, std::uint8_t delta);
    std::uint32_t (*digest_sum)(const std::uint8_t* d, std::uint32_t len);
    void (*add_stream)(std::uint8_t* out, const std::uint8_t* x, const std::uint8_t* z,
                       std::size_t n);
    void (*sub_stream)(std::uint8_t* out, const std::uint8_t* x, const std::uint8_t* z,
                       std::size_t n);
    // b[i] += KeyedAdd's keystream of a key of 1 to 15 bytes (shorter than
    // len, with its constant delta) for i < len, returning the sum of b as
    // it stands after a walk over split (<= len) bytes: the block key update
    // with a block's random bytes in one pass.
    std::uint32_t (*advance_short_key)(std::uint8_t* b, std::size_t len, const std::uint8_t* key,
                                       std::size_t key_len, std::uint8_t delta, std::size_t split);
    // A data block deciphered and the block key advanced in one pass:
    // plain[i] = c[i] - b1[i] - b2[i] - delta for i < n (8 <= n <= len),
    // then b1 advanced by advance_short_key with plain's last 7 bytes (the
    // block's random bytes, walked over len bytes as walk says) and split n,
    // whose sum it returns. b1 is 64-byte aligned and 256 bytes long; the
    // bytes past len are scratch. The AVX-512 set keeps the block key in
    // vector registers between the two halves and the random bytes out of
    // memory, so no load waits for a store of the same block.
    // The same for enciphering: ciphertext[i] = x[i] + b1[i] + b2[i] + delta
    // for i < n = chunk_len + 7 (n <= len), x the chunk followed by the
    // block's 7 random bytes, then b1 advanced with the random bytes and
    // split n.
    std::uint32_t (*encipher_block)(std::uint8_t* ciphertext, const std::uint8_t* chunk,
                                    std::size_t chunk_len, const std::uint8_t* random,
                                    std::uint8_t* b1, std::size_t len, const std::uint8_t* b2,
                                    std::uint8_t delta, const RandomWalk& walk);
    std::uint32_t (*decipher_block)(std::uint8_t* plain, const std::uint8_t* c, std::size_t n,
                                    std::uint8_t* b1, std::size_t len, const std::uint8_t* b2,
                                    std::uint8_t delta, const RandomWalk& walk);
};

extern const KernelTable kPlainKernels;
#if defined(__x86_64__)
extern const KernelTable kAvx2Kernels;
extern const KernelTable kAvx512Kernels;
#endif

// The table in use.
const KernelTable& Kernels();

}  // namespace internal
}  // namespace tazu
