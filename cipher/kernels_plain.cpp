// The kernels in plain C++, for any processor, and the scalar tails that
// the vector kernels share.
#include "cipher/kernel_tables.h"
#include "cipher/kernels.h"

namespace tazu::internal {

std::uint32_t SteppedSumPlain(const std::uint8_t* key, std::size_t count, std::size_t m) {
    const std::uint8_t a = kStepPowersTable.a[m];
    const std::uint8_t b = kStepPowersTable.b[m];
    std::uint32_t sum = 0;
    for (std::size_t j = 0; j < count; ++j) {
        sum += static_cast<std::uint8_t>(a * key[j] + b);
    }
    return sum;
}

std::uint32_t AddStreamWalkedSumPlain(std::uint8_t* b, const std::uint8_t* z, std::size_t len,
                                      std::size_t split) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < len; ++i) {
        b[i] = static_cast<std::uint8_t>(b[i] + z[i]);
        sum += i < split ? static_cast<std::uint8_t>(9 * b[i] + 7) : b[i];
    }
    return sum;
}

void RepeatKeyPlain(const std::uint8_t* key, std::size_t key_len, std::size_t len,
                    std::uint8_t* out) {
    std::memcpy(out, key, key_len);
    for (std::size_t have = key_len; have < len; have *= 2) {
        std::memcpy(out + have, out, std::min(have, len - have));
    }
}

std::uint32_t AdvanceShortKeyPlain(std::uint8_t* b, std::size_t len, const std::uint8_t* key,
                                   std::size_t key_len, std::uint8_t delta, std::size_t split) {
    std::uint8_t repeated[256];
    std::uint8_t z[256];
    RepeatKeyPlain(key, key_len, len, repeated);
    body::TableBytes(z, repeated, kShortKeyCoefficients.a[key_len],
                     kShortKeyCoefficients.b[key_len], len, delta);
    return AddStreamWalkedSumPlain(b, z, len, split);
}

std::uint32_t EncipherBlockPlain(std::uint8_t* ciphertext, const std::uint8_t* chunk,
                                 std::size_t chunk_len, const std::uint8_t* random,
                                 std::uint8_t* b1, std::size_t len, const std::uint8_t* b2,
                                 std::uint8_t delta, const RandomWalk& walk) {
    body::AddTwoKeys(ciphertext, chunk, b1, b2, chunk_len, delta);
    body::AddTwoKeys(ciphertext + chunk_len, random, b1 + chunk_len, b2 + chunk_len,
                     kRandomKeyBytes, delta);
    return AdvanceShortKeyPlain(b1, len, random, kRandomKeyBytes,
                                RandomKeyDelta(WalkedRandom(random, walk)),
                                chunk_len + kRandomKeyBytes);
}

std::uint32_t DecipherBlockPlain(std::uint8_t* plain, const std::uint8_t* c, std::size_t n,
                                 std::uint8_t* b1, std::size_t len, const std::uint8_t* b2,
                                 std::uint8_t delta, const RandomWalk& walk) {
    body::SubTwoKeys(plain, c, b1, b2, n, delta);
    const std::uint8_t* random = plain + n - kRandomKeyBytes;
    return AdvanceShortKeyPlain(b1, len, random, kRandomKeyBytes,
                                RandomKeyDelta(WalkedRandom(random, walk)), n);
}

std::uint32_t DigestSumTail(const std::uint8_t* d, std::uint32_t from, std::uint32_t len) {
    std::uint32_t s = 0;
    for (std::uint32_t i = from; i < len; ++i) {
        const std::uint32_t stepped = static_cast<std::uint8_t>(9 * d[i] + 7);
        s += stepped * kDigestWeights.position[i] + d[i] * kDigestWeights.bucket[i];
    }
    return s;
}

namespace {

std::uint32_t DigestSumPlain(const std::uint8_t* d, std::uint32_t len) {
    return len * (len + 1) / 2 + DigestSumTail(d, 0, len);
}

void AffineBytesPlain(std::uint8_t* z, const std::uint8_t* key, std::size_t n, std::uint8_t a,
                      std::uint8_t b) {
    body::AffineBytes(z, key, n, a, b);
}

void TableBytesPlain(std::uint8_t* z, const std::uint8_t* repeated, const std::uint8_t* a,
                     const std::uint8_t* b, std::size_t n, std::uint8_t delta) {
    body::TableBytes(z, repeated, a, b, n, delta);
}

void AddTwoKeysPlain(std::uint8_t* out, const std::uint8_t* x, const std::uint8_t* k1,
                     const std::uint8_t* k2, std::size_t n, std::uint8_t delta) {
    body::AddTwoKeys(out, x, k1, k2, n, delta);
}

void SubTwoKeysPlain(std::uint8_t* out, const std::uint8_t* x, const std::uint8_t* k1,
                     const std::uint8_t* k2, std::size_t n, std::uint8_t delta) {
    body::SubTwoKeys(out, x, k1, k2, n, delta);
}

void AddStreamPlain(std::uint8_t* out, const std::uint8_t* x, const std::uint8_t* z,
                    std::size_t n) {
    body::AddStream(out, x, z, n);
}

void SubStreamPlain(std::uint8_t* out, const std::uint8_t* x, const std::uint8_t* z,
                    std::size_t n) {
    body::SubStream(out, x, z, n);
}

}  // namespace

const KernelTable kPlainKernels = {
    AffineBytesPlain,        TableBytesPlain, RepeatKeyPlain,       SteppedSumPlain,
    AddStreamWalkedSumPlain, AddTwoKeysPlain, SubTwoKeysPlain,      DigestSumPlain,
    AddStreamPlain,          SubStreamPlain,  AdvanceShortKeyPlain, EncipherBlockPlain,
    DecipherBlockPlain,
};

}  // namespace tazu::internal
