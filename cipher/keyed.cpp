#include "cipher/keyed.h"

#include <cstring>

#include "cipher/kernels.h"
#include "cipher/keyed_internal.h"

namespace tazu {
namespace internal {

namespace {

std::uint8_t DeltaOfSum(std::int32_t s) {
    const std::int32_t w = WrapAffine(s);
    return static_cast<std::uint8_t>(w % 256 + w % 255);
}

}  // namespace

std::uint32_t SteppedSum(const std::uint8_t* key, std::size_t count, std::size_t m) {
    return Kernels().stepped_sum(key, count, m);
}

std::uint32_t WalkedKeySum(const std::uint8_t* key, std::size_t key_len, std::size_t len) {
    // Key byte j is used q + 1 times for j < r and q times otherwise.
    const std::size_t q = len / key_len;
    const std::size_t r = len % key_len;
    if (key_len <= 16) {
        // A block's random bytes: too few for a vector kernel to pay.
        std::uint32_t sum = 0;
        for (std::size_t j = 0; j < key_len; ++j) {
            const std::size_t m = j < r ? q + 1 : q;
            sum +=
                static_cast<std::uint8_t>(kStepPowersTable.a[m] * key[j] + kStepPowersTable.b[m]);
        }
        return sum;
    }
    return SteppedSum(key, r, q + 1) + SteppedSum(key + r, key_len - r, q);
}

std::uint8_t CurrentDeltaOfSum(std::size_t key_len, std::uint32_t walked_sum) {
    const auto k = static_cast<std::int32_t>(key_len);
    return DeltaOfSum(k * (k + 1) / 2 + static_cast<std::int32_t>(walked_sum));
}

std::uint32_t AddStreamWalkedSum(std::uint8_t* b, const std::uint8_t* z, std::size_t len,
                                 std::size_t split) {
    return Kernels().add_stream_walked_sum(b, z, len, split);
}

std::uint32_t AdvanceShortKey(std::uint8_t* b, std::size_t len, const std::uint8_t* key,
                              std::size_t key_len, std::uint8_t delta, std::size_t split) {
    return Kernels().advance_short_key(b, len, key, key_len, delta, split);
}

std::uint8_t CurrentDelta(const std::uint8_t* key, std::size_t key_len, std::size_t len) {
    const auto k = static_cast<std::int32_t>(key_len);
    return DeltaOfSum(k * (k + 1) / 2 + static_cast<std::int32_t>(WalkedKeySum(key, key_len, len)));
}

void KeyStream(const std::uint8_t* key, std::size_t key_len, std::size_t len, std::uint8_t delta,
               std::uint8_t* z) {
    const KernelTable& kernels = Kernels();
    if (len <= key_len) {
        kernels.affine_bytes(z, key, len, 1, delta);
    } else if (key_len < kShortKey) {
        std::uint8_t repeated[256];
        kernels.repeat_key(key, key_len, len, repeated);
        kernels.table_bytes(z, repeated, kShortKeyCoefficients.a[key_len],
                            kShortKeyCoefficients.b[key_len], len, delta);
    } else {
        std::size_t m = 0;
        for (std::size_t start = 0; start < len; start += key_len, ++m) {
            kernels.affine_bytes(z + start, key, std::min(key_len, len - start),
                                 kStepPowersTable.a[m],
                                 static_cast<std::uint8_t>(kStepPowersTable.b[m] + delta));
        }
    }
}

void SubTwoKeys(std::uint8_t* out, const std::uint8_t* x, const std::uint8_t* k1,
                const std::uint8_t* k2, std::size_t n, std::uint8_t delta) {
    Kernels().sub_two_keys(out, x, k1, k2, n, delta);
}

std::uint32_t EncipherBlock(std::uint8_t* ciphertext, const std::uint8_t* chunk,
                            std::size_t chunk_len, const std::uint8_t* random, std::uint8_t* b1,
                            std::size_t len, const std::uint8_t* b2, std::uint8_t delta,
                            const RandomWalk& walk) {
    return Kernels().encipher_block(ciphertext, chunk, chunk_len, random, b1, len, b2, delta, walk);
}

std::uint32_t DecipherBlock(std::uint8_t* plain, const std::uint8_t* c, std::size_t n,
                            std::uint8_t* b1, std::size_t len, const std::uint8_t* b2,
                            std::uint8_t delta, const RandomWalk& walk) {
    return Kernels().decipher_block(plain, c, n, b1, len, b2, delta, walk);
}

std::uint32_t DigestSum(const std::uint8_t* d, std::uint32_t len) {
    return Kernels().digest_sum(d, len);
}

void AddStream(std::uint8_t* out, const std::uint8_t* x, const std::uint8_t* z, std::size_t n) {
    Kernels().add_stream(out, x, z, n);
}

void SubStream(std::uint8_t* out, const std::uint8_t* x, const std::uint8_t* z, std::size_t n) {
    Kernels().sub_stream(out, x, z, n);
}

}  // namespace internal

namespace {

using namespace internal;

// Which constant follows the key walk.
enum class Variant { kCurrent, k00, k02 };

std::uint8_t Delta(Variant variant, const std::uint8_t* key, std::size_t key_len, std::size_t len) {
    if (variant == Variant::kCurrent) {
        return CurrentDelta(key, key_len, len);
    }
    const auto k = static_cast<std::int32_t>(key_len);
    const std::int32_t triangle = k * (k + 1) / 2;
    const auto sum = static_cast<std::int32_t>(WalkedKeySum(key, key_len, len));
    if (variant == Variant::k00) {
        return static_cast<std::uint8_t>(k + triangle + sum);
    }
    return static_cast<std::uint8_t>(AffineMod(sum, 256) + triangle + AffineMod(sum, 255));
}

// KeyedAdd (or KeyedSub) of any variant: the data plus (minus) the keystream
// that the key's walk and the variant's constant make.
template <bool kSubtract>
Str255 Transform(const Str255& data, const Str255& key, Variant variant) {
    if (data.empty() || key.empty()) {
        return {};
    }
    const std::size_t len = data.size();
    std::uint8_t z[255];
    KeyStream(key.data(), key.size(), len, Delta(variant, key.data(), key.size(), len), z);
    Str255 out = data;  // a plain copy; zero-filling a fresh one costs more
    if constexpr (kSubtract) {
        SubStream(out.data(), out.data(), z, len);
    } else {
        AddStream(out.data(), out.data(), z, len);
    }
    return out;
}

}  // namespace

std::int32_t AffineMod(std::int32_t a, std::int32_t m) {
    if (m == 0) {
        m = 1;
    }
    if (m == -1) {
        return 0;  // INT32_MIN % -1 would trap; the remainder is 0 anyway
    }
    return WrapAffine(a) % m;
}

Str255 KeyedAdd(const Str255& data, const Str255& key) {
    return Transform<false>(data, key, Variant::kCurrent);
}

Str255 KeyedSub(const Str255& data, const Str255& key) {
    return Transform<true>(data, key, Variant::kCurrent);
}

Str255 KeyedAdd00(const Str255& data, const Str255& key) {
    return Transform<false>(data, key, Variant::k00);
}

Str255 KeyedSub00(const Str255& data, const Str255& key) {
    return Transform<true>(data, key, Variant::k00);
}

Str255 KeyedAdd02(const Str255& data, const Str255& key) {
    return Transform<false>(data, key, Variant::k02);
}

Str255 KeyedSub02(const Str255& data, const Str255& key) {
    return Transform<true>(data, key, Variant::k02);
}

Str255 KeyedDigest(const Str255& data, std::size_t n, const Str255& key) {
    if (data.empty()) {
        return {};
    }
    const auto s = static_cast<std::int32_t>(
        internal::DigestSum(data.data(), static_cast<std::uint32_t>(data.size())));
    Str255 out;
    n = std::min<std::size_t>(n, Str255::kCapacity);
    for (std::size_t i = 1; i <= n; ++i) {
        out.push_back(static_cast<std::uint8_t>(AffineMod(s, static_cast<std::int32_t>(512 - i))));
    }
    if (!key.empty()) {
        out = KeyedAdd(out, key);
    }
    return out;
}

bool VerifyDigest(const Str255& data, const Str255& sig, const Str255& key) {
    if (data.empty() || sig.empty()) {
        return false;
    }
    return KeyedDigest(data, sig.size(), key) == sig;
}

Str255 ByteToBits(std::uint8_t b) {
    Str255 out;
    for (int bit = 7; bit >= 0; --bit) {
        out.push_back(((b >> bit) & 1) ? '1' : '0');
    }
    return out;
}

Str255 PlainDigest(const Str255& data, std::size_t n) {
    if (data.empty() || n == 0) {
        return {};
    }
    const std::uint32_t len = static_cast<std::uint32_t>(data.size());
    std::uint32_t sum = len * (len + 1) / 2;
    for (std::uint32_t i = 0; i < len; ++i) {
        const std::uint32_t pos = i + 1;
        const std::uint32_t weight = pos <= 10 ? 10u : (pos <= 100 ? 100u : 1000u);
        sum += data[i] * weight;
    }
    Str255 out;
    n = std::min<std::size_t>(n, Str255::kCapacity);
    for (std::size_t j = 1; j <= n; ++j) {
        out.push_back(static_cast<std::uint8_t>(
            AffineMod(static_cast<std::int32_t>(sum), static_cast<std::int32_t>(512 - j))));
    }
    return out;
}

bool VerifyPlainDigest(const Str255& data, const Str255& sig) {
    if (data.empty() || sig.empty()) {
        return false;
    }
    return PlainDigest(data, sig.size()) == sig;
}

}  // namespace tazu
