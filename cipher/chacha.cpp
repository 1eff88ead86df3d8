#include "cipher/chacha.h"

#include <string.h>

#include <cstring>

#include "cipher/wipe.h"

namespace tazu {
namespace {

constexpr std::size_t kLanes = 8;  // blocks computed side by side

inline std::uint32_t Load32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}

// Little-endian store, as the block layout defines (one move on x86-64).
inline void Store32(std::uint8_t* p, std::uint32_t v) {
    const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                                   static_cast<std::uint8_t>(v >> 16),
                                   static_cast<std::uint8_t>(v >> 24)};
    std::memcpy(p, bytes, 4);
}

// Eight blocks side by side: lane l of every word belongs to block l, so
// each step of a quarter round is one vector operation.
typedef std::uint32_t Lanes __attribute__((vector_size(4 * kLanes)));

inline void QuarterRound(Lanes (&x)[16], int a, int b, int c, int d) {
    x[a] += x[b];
    x[d] ^= x[a];
    x[d] = (x[d] << 16) | (x[d] >> 16);
    x[c] += x[d];
    x[b] ^= x[c];
    x[b] = (x[b] << 12) | (x[b] >> 20);
    x[a] += x[b];
    x[d] ^= x[a];
    x[d] = (x[d] << 8) | (x[d] >> 24);
    x[c] += x[d];
    x[b] ^= x[c];
    x[b] = (x[b] << 7) | (x[b] >> 25);
}

// The AVX2 clone is picked at load time through an ifunc, which only ELF
// systems have; elsewhere (Windows) the plain clone is the one.
#if defined(__ELF__)
#define TAZU_AVX2_CLONE __attribute__((target_clones("avx2", "default")))
#else
#define TAZU_AVX2_CLONE
#endif

TAZU_AVX2_CLONE void EightBlocks(const std::uint32_t (&input)[16], std::uint8_t* out) {
    Lanes start[16];
    for (int w = 0; w < 16; ++w) {
        start[w] = Lanes{} + input[w];
    }
    start[12] += Lanes{0, 1, 2, 3, 4, 5, 6, 7};
    Lanes x[16];
    for (int w = 0; w < 16; ++w) {
        x[w] = start[w];
    }
    for (int round = 0; round < 10; ++round) {
        QuarterRound(x, 0, 4, 8, 12);
        QuarterRound(x, 1, 5, 9, 13);
        QuarterRound(x, 2, 6, 10, 14);
        QuarterRound(x, 3, 7, 11, 15);
        QuarterRound(x, 0, 5, 10, 15);
        QuarterRound(x, 1, 6, 11, 12);
        QuarterRound(x, 2, 7, 8, 13);
        QuarterRound(x, 3, 4, 9, 14);
    }
    for (int w = 0; w < 16; ++w) {
        x[w] += start[w];
    }
    for (std::size_t l = 0; l < kLanes; ++l) {
        for (int w = 0; w < 16; ++w) {
            Store32(out + l * kChaChaBlockSize + 4 * w, x[w][l]);
        }
    }
    // What the registers spilled here is the key and its output.
    WipeBytes(x, sizeof x);
    WipeBytes(start, sizeof start);
}

}  // namespace

void ChaChaBlocks(const std::uint8_t key[32], const std::uint8_t nonce[12], std::uint32_t counter,
                  std::size_t blocks, std::uint8_t* out) {
    std::uint32_t input[16] = {0x61707865, 0x3320646e, 0x79622d32, 0x6b206574};
    for (int i = 0; i < 8; ++i) {
        input[4 + i] = Load32(key + 4 * i);
    }
    for (int i = 0; i < 3; ++i) {
        input[13 + i] = Load32(nonce + 4 * i);
    }
    std::uint8_t group[kLanes * kChaChaBlockSize];
    while (blocks > 0) {
        input[12] = counter;
        const std::size_t n = blocks < kLanes ? blocks : kLanes;
        if (n == kLanes) {
            EightBlocks(input, out);
        } else {
            EightBlocks(input, group);
            std::memcpy(out, group, n * kChaChaBlockSize);
        }
        out += n * kChaChaBlockSize;
        counter += static_cast<std::uint32_t>(n);
        blocks -= n;
    }
    // Neither the key nor the last blocks stay behind on the stack.
    WipeBytes(group, sizeof group);
    WipeBytes(input, sizeof input);
}

}  // namespace tazu
