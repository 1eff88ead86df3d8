// Constant tables and plain loop bodies shared by the kernels of every
// instruction set. Not for use outside cipher/.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tazu::internal {

// Stepping a byte m times through T(x) = 9x + 7 (mod 256) is affine:
// T^m(x) = a[m] * x + b[m].
struct StepPowers {
    std::uint8_t a[257];
    std::uint8_t b[257];
};
inline constexpr StepPowers kStepPowersTable = [] {
    StepPowers p{};
    std::uint8_t a = 1;
    std::uint8_t b = 0;
    for (int m = 0; m < 257; ++m) {
        p.a[m] = a;
        p.b[m] = b;
        a = static_cast<std::uint8_t>(a * 9);
        b = static_cast<std::uint8_t>(b * 9 + 7);
    }
    return p;
}();

// For keys shorter than kShortKey bytes the keystream is built from tables:
// position i of a K-byte key's walk adds a[i / K] * k[i % K] + b[i / K].
inline constexpr std::size_t kShortKey = 32;
struct ShortKeyCoefficients {
    std::uint8_t a[kShortKey][255];
    std::uint8_t b[kShortKey][255];
};
inline constexpr ShortKeyCoefficients kShortKeyCoefficients = [] {
    ShortKeyCoefficients c{};
    for (std::size_t k = 1; k < kShortKey; ++k) {
        for (std::size_t i = 0; i < 255; ++i) {
            c.a[k][i] = kStepPowersTable.a[i / k];
            c.b[k][i] = kStepPowersTable.b[i / k];
        }
    }
    return c;
}();

// For each key length below 16, the key position of every output byte: the
// byte shuffles of the vector kernels repeat a short key with it.
struct RepeatIndex {
    alignas(64) std::uint8_t index[16][256];
};
inline constexpr RepeatIndex kRepeatIndex = [] {
    RepeatIndex r{};
    for (std::size_t k = 1; k < 16; ++k) {
        for (std::size_t i = 0; i < 256; ++i) {
            r.index[k][i] = static_cast<std::uint8_t>(i % k);
        }
    }
    return r;
}();

// A block's random bytes walked over a block key of len bytes: random byte
// j is used at positions j, j + 7, ... below len, so it is stepped m_j
// times and stands at a[j] * x + b[j] (mod 256) after the walk. Lanes 7 to
// 15 are zero. The same for every block of an entry.
inline constexpr std::size_t kRandomKeyBytes = 7;
struct RandomWalk {
    std::uint8_t a[16];
    std::uint8_t b[16];
};
inline RandomWalk MakeRandomWalk(std::size_t len) {
    RandomWalk w{};
    for (std::size_t j = 0; j < kRandomKeyBytes; ++j) {
        const std::size_t m = len / kRandomKeyBytes + (j < len % kRandomKeyBytes ? 1 : 0);
        w.a[j] = kStepPowersTable.a[m];
        w.b[j] = kStepPowersTable.b[m];
    }
    return w;
}

// The sum of a block's random bytes as they stand after their walk.
inline std::uint32_t WalkedRandom(const std::uint8_t* random, const RandomWalk& walk) {
    std::uint32_t sum = 0;
    for (std::size_t j = 0; j < kRandomKeyBytes; ++j) {
        sum += static_cast<std::uint8_t>(walk.a[j] * random[j] + walk.b[j]);
    }
    return sum;
}

// The constant KeyedAdd adds after walking a 7-byte key whose stepped bytes
// sum to walked_sum: the low byte of (9s + 7) mod 256 + (9s + 7) mod 255 for
// s = 1 + 2 + ... + 7 + walked_sum, with 32-bit wrap-around and truncating
// remainders.
inline std::uint8_t RandomKeyDelta(std::uint32_t walked_sum) {
    const auto w = static_cast<std::int32_t>((28u + walked_sum) * 9u + 7u);
    return static_cast<std::uint8_t>(w % 256 + w % 255);
}

// Position weights of the digest: byte i (0-based) adds T[d] * (i + 1) and
// d times the weight of its bucket (i mod 5).
struct DigestWeights {
    std::uint32_t position[255];
    std::uint32_t bucket[255];
};
inline constexpr DigestWeights kDigestWeights = [] {
    DigestWeights w{};
    const std::uint32_t buckets[5] = {11, 100, 1000, 10000, 100000};
    for (std::uint32_t i = 0; i < 255; ++i) {
        w.position[i] = i + 1;
        w.bucket[i] = buckets[i % 5];
    }
    return w;
}();

// The plain loops. Each instruction set's table compiles them for its own
// target, where the compiler vectorises them.
namespace body {

[[gnu::always_inline]] inline void AffineBytes(std::uint8_t* z, const std::uint8_t* key,
                                               std::size_t n, std::uint8_t a, std::uint8_t b) {
    for (std::size_t i = 0; i < n; ++i) {
        z[i] = static_cast<std::uint8_t>(a * key[i] + b);
    }
}

[[gnu::always_inline]] inline void TableBytes(std::uint8_t* z, const std::uint8_t* repeated,
                                              const std::uint8_t* a, const std::uint8_t* b,
                                              std::size_t n, std::uint8_t delta) {
    for (std::size_t i = 0; i < n; ++i) {
        z[i] = static_cast<std::uint8_t>(a[i] * repeated[i] + b[i] + delta);
    }
}

[[gnu::always_inline]] inline void AddTwoKeys(std::uint8_t* out, const std::uint8_t* x,
                                              const std::uint8_t* k1, const std::uint8_t* k2,
                                              std::size_t n, std::uint8_t delta) {
    for (std::size_t i = 0; i < n; ++i) {
        out[i] = static_cast<std::uint8_t>(x[i] + k1[i] + k2[i] + delta);
    }
}

[[gnu::always_inline]] inline void SubTwoKeys(std::uint8_t* out, const std::uint8_t* x,
                                              const std::uint8_t* k1, const std::uint8_t* k2,
                                              std::size_t n, std::uint8_t delta) {
    for (std::size_t i = 0; i < n; ++i) {
        out[i] = static_cast<std::uint8_t>(x[i] - k1[i] - k2[i] - delta);
    }
}

[[gnu::always_inline]] inline void AddStream(std::uint8_t* out, const std::uint8_t* x,
                                             const std::uint8_t* z, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        out[i] = static_cast<std::uint8_t>(x[i] + z[i]);
    }
}

[[gnu::always_inline]] inline void SubStream(std::uint8_t* out, const std::uint8_t* x,
                                             const std::uint8_t* z, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        out[i] = static_cast<std::uint8_t>(x[i] - z[i]);
    }
}

}  // namespace body

// The scalar forms of the sums, also the tails of the vector ones.
std::uint32_t SteppedSumPlain(const std::uint8_t* key, std::size_t count, std::size_t m);
std::uint32_t AddStreamWalkedSumPlain(std::uint8_t* b, const std::uint8_t* z, std::size_t len,
                                      std::size_t split);
void RepeatKeyPlain(const std::uint8_t* key, std::size_t key_len, std::size_t len,
                    std::uint8_t* out);
// b[i] += z[i] (z the keystream of the short key over len bytes, plus
// delta), returning the sum of b after a walk over split bytes.
std::uint32_t AdvanceShortKeyPlain(std::uint8_t* b, std::size_t len, const std::uint8_t* key,
                                   std::size_t key_len, std::uint8_t delta, std::size_t split);
std::uint32_t EncipherBlockPlain(std::uint8_t* ciphertext, const std::uint8_t* chunk,
                                 std::size_t chunk_len, const std::uint8_t* random,
                                 std::uint8_t* b1, std::size_t len, const std::uint8_t* b2,
                                 std::uint8_t delta, const RandomWalk& walk);
std::uint32_t DecipherBlockPlain(std::uint8_t* plain, const std::uint8_t* c, std::size_t n,
                                 std::uint8_t* b1, std::size_t len, const std::uint8_t* b2,
                                 std::uint8_t delta, const RandomWalk& walk);
// The digest's running sum from byte from on, without the len * (len + 1) / 2
// term.
std::uint32_t DigestSumTail(const std::uint8_t* d, std::uint32_t from, std::uint32_t len);

}  // namespace tazu::internal

#if defined(__x86_64__)
namespace tazu::internal {

// The hand-written AVX2 sums and key repetition, also used by the AVX-512
// table (every processor with AVX-512 has AVX2).
std::uint32_t SteppedSumAvx2(const std::uint8_t* key, std::size_t count, std::size_t m);
std::uint32_t AddStreamWalkedSumAvx2(std::uint8_t* b, const std::uint8_t* z, std::size_t len,
                                     std::size_t split);
void RepeatKeyAvx2(const std::uint8_t* key, std::size_t key_len, std::size_t len,
                   std::uint8_t* out);
std::uint32_t DigestSumAvx2(const std::uint8_t* d, std::uint32_t len);
std::uint32_t AdvanceShortKeyAvx2(std::uint8_t* b, std::size_t len, const std::uint8_t* key,
                                  std::size_t key_len, std::uint8_t delta, std::size_t split);

}  // namespace tazu::internal
#endif
