#include "cipher/keyed.h"

#include "cipher/keyed_internal.h"

#include <immintrin.h>

#include <cstring>

namespace tazu {
namespace internal {

constexpr StepPowers kStepPowersTable = [] {
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
const StepPowers kStepPowers = kStepPowersTable;

namespace {

// For keys shorter than kShortKey bytes the keystream is built from tables:
// position i of a K-byte key's walk adds a[i / K] * k[i % K] + b[i / K].
constexpr std::size_t kShortKey = 32;
struct ShortKeyCoefficients {
    std::uint8_t a[kShortKey][255];
    std::uint8_t b[kShortKey][255];
};
constexpr ShortKeyCoefficients kShortKeyCoefficients = [] {
    ShortKeyCoefficients c{};
    for (std::size_t k = 1; k < kShortKey; ++k) {
        for (std::size_t i = 0; i < 255; ++i) {
            c.a[k][i] = kStepPowersTable.a[i / k];
            c.b[k][i] = kStepPowersTable.b[i / k];
        }
    }
    return c;
}();

// Position weights of the digest: byte i (0-based) adds T[d] * (i + 1) and
// d times the weight of its bucket (i mod 5).
struct DigestWeights {
    std::uint32_t position[255];
    std::uint32_t bucket[255];
};
constexpr DigestWeights kDigestWeights = [] {
    DigestWeights w{};
    const std::uint32_t buckets[5] = {11, 100, 1000, 10000, 100000};
    for (std::uint32_t i = 0; i < 255; ++i) {
        w.position[i] = i + 1;
        w.bucket[i] = buckets[i % 5];
    }
    return w;
}();

__attribute__((target_clones("avx2", "default"))) void AffineBytes(std::uint8_t* z,
                                                                   const std::uint8_t* key,
                                                                   std::size_t n, std::uint8_t a,
                                                                   std::uint8_t b) {
    for (std::size_t i = 0; i < n; ++i) {
        z[i] = static_cast<std::uint8_t>(a * key[i] + b);
    }
}

__attribute__((target_clones("avx2", "default"))) void TableBytes(
    std::uint8_t* z, const std::uint8_t* repeated, const std::uint8_t* a, const std::uint8_t* b,
    std::size_t n, std::uint8_t delta) {
    for (std::size_t i = 0; i < n; ++i) {
        z[i] = static_cast<std::uint8_t>(a[i] * repeated[i] + b[i] + delta);
    }
}

void RepeatKeyPlain(const std::uint8_t* key, std::size_t key_len, std::size_t len,
                    std::uint8_t* out) {
    std::memcpy(out, key, key_len);
    for (std::size_t have = key_len; have < len; have *= 2) {
        std::memcpy(out + have, out, std::min(have, len - have));
    }
}

// For each key length below 16, the key position of every output byte.
struct RepeatIndex {
    alignas(32) std::uint8_t index[16][256];
};
constexpr RepeatIndex kRepeatIndex = [] {
    RepeatIndex r{};
    for (std::size_t k = 1; k < 16; ++k) {
        for (std::size_t i = 0; i < 256; ++i) {
            r.index[k][i] = static_cast<std::uint8_t>(i % k);
        }
    }
    return r;
}();

// The key repeated along len bytes by byte shuffles, 32 bytes at a time.
__attribute__((target("avx2"))) void RepeatKeyAvx2(const std::uint8_t* key, std::size_t key_len,
                                                   std::size_t len, std::uint8_t* out) {
    std::uint8_t padded[16] = {};
    std::memcpy(padded, key, key_len);
    const __m256i k =
        _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(padded)));
    for (std::size_t i = 0; i < len; i += 32) {
        const __m256i idx =
            _mm256_load_si256(reinterpret_cast<const __m256i*>(kRepeatIndex.index[key_len] + i));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), _mm256_shuffle_epi8(k, idx));
    }
}

// out[i] = key[i % key_len] for i < len; out holds 256 bytes.
void RepeatKey(const std::uint8_t* key, std::size_t key_len, std::size_t len, std::uint8_t* out) {
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2 && key_len < 16) {
        RepeatKeyAvx2(key, key_len, len, out);
    } else {
        RepeatKeyPlain(key, key_len, len, out);
    }
}

std::uint8_t DeltaOfSum(std::int32_t s) {
    const std::int32_t w = WrapAffine(s);
    return static_cast<std::uint8_t>(w % 256 + w % 255);
}

}  // namespace

namespace {

// The sum of the eight 32-bit lanes.
__attribute__((target("avx2"))) std::uint32_t HorizontalSum(__m256i v) {
    const __m128i four = _mm_add_epi32(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1));
    const __m128i two = _mm_add_epi32(four, _mm_shuffle_epi32(four, 0x4E));
    const __m128i one = _mm_add_epi32(two, _mm_shuffle_epi32(two, 0xB1));
    return static_cast<std::uint32_t>(_mm_cvtsi128_si32(one));
}

// The sum of the sixteen 16-bit lanes.
__attribute__((target("avx2"))) std::uint32_t SumOfWords(__m256i v) {
    return HorizontalSum(_mm256_madd_epi16(v, _mm256_set1_epi16(1)));
}

std::uint32_t SteppedSumPlain(const std::uint8_t* key, std::size_t count, std::size_t m) {
    const std::uint8_t a = kStepPowersTable.a[m];
    const std::uint8_t b = kStepPowersTable.b[m];
    std::uint32_t sum = 0;
    for (std::size_t j = 0; j < count; ++j) {
        sum += static_cast<std::uint8_t>(a * key[j] + b);
    }
    return sum;
}

// Sixteen bytes at a time in 16-bit lanes; a lane's running sum stays below
// 16 * 255 per 256 bytes, far from overflowing.
__attribute__((target("avx2"))) std::uint32_t SteppedSumAvx2(const std::uint8_t* key,
                                                             std::size_t count, std::size_t m) {
    const __m256i a = _mm256_set1_epi16(kStepPowersTable.a[m]);
    const __m256i b = _mm256_set1_epi16(kStepPowersTable.b[m]);
    const __m256i low = _mm256_set1_epi16(0xFF);
    __m256i acc = _mm256_setzero_si256();
    std::size_t j = 0;
    for (; j + 16 <= count; j += 16) {
        const __m256i k =
            _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(key + j)));
        acc = _mm256_add_epi16(
            acc, _mm256_and_si256(_mm256_add_epi16(_mm256_mullo_epi16(k, a), b), low));
    }
    return SumOfWords(acc) + SteppedSumPlain(key + j, count - j, m);
}

}  // namespace

std::uint32_t SteppedSum(const std::uint8_t* key, std::size_t count, std::size_t m) {
    static const bool avx2 = __builtin_cpu_supports("avx2");
    return avx2 ? SteppedSumAvx2(key, count, m) : SteppedSumPlain(key, count, m);
}

std::uint32_t WalkedKeySum(const std::uint8_t* key, std::size_t key_len, std::size_t len) {
    // Key byte j is used q + 1 times for j < r and q times otherwise.
    const std::size_t q = len / key_len;
    const std::size_t r = len % key_len;
    return SteppedSum(key, r, q + 1) + SteppedSum(key + r, key_len - r, q);
}

std::uint8_t CurrentDeltaOfSum(std::size_t key_len, std::uint32_t walked_sum) {
    const auto k = static_cast<std::int32_t>(key_len);
    return DeltaOfSum(k * (k + 1) / 2 + static_cast<std::int32_t>(walked_sum));
}

namespace {

std::uint32_t AddStreamWalkedSumPlain(std::uint8_t* b, const std::uint8_t* z, std::size_t len,
                                      std::size_t split) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < len; ++i) {
        b[i] = static_cast<std::uint8_t>(b[i] + z[i]);
        sum += i < split ? kKeyStepTable[b[i]] : b[i];
    }
    return sum;
}

// Sixteen bytes at a time in 16-bit lanes; the bytes before split are
// stepped (9x + 7 mod 256) before they are summed.
__attribute__((target("avx2"))) std::uint32_t AddStreamWalkedSumAvx2(std::uint8_t* b,
                                                                     const std::uint8_t* z,
                                                                     std::size_t len,
                                                                     std::size_t split) {
    const __m256i seven = _mm256_set1_epi16(7);
    const __m256i low = _mm256_set1_epi16(0xFF);
    __m256i acc = _mm256_setzero_si256();
    std::size_t i = 0;
    for (; i + 16 <= split; i += 16) {
        const __m128i sum8 = _mm_add_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i)),
                                          _mm_loadu_si128(reinterpret_cast<const __m128i*>(z + i)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(b + i), sum8);
        const __m256i x = _mm256_cvtepu8_epi16(sum8);
        acc = _mm256_add_epi16(
            acc, _mm256_and_si256(
                     _mm256_add_epi16(_mm256_add_epi16(_mm256_slli_epi16(x, 3), x), seven), low));
    }
    return SumOfWords(acc) + AddStreamWalkedSumPlain(b + i, z + i, len - i, split - i);
}

}  // namespace

std::uint32_t AddStreamWalkedSum(std::uint8_t* b, const std::uint8_t* z, std::size_t len,
                                 std::size_t split) {
    static const bool avx2 = __builtin_cpu_supports("avx2");
    return avx2 ? AddStreamWalkedSumAvx2(b, z, len, split)
                : AddStreamWalkedSumPlain(b, z, len, split);
}

std::uint8_t CurrentDelta(const std::uint8_t* key, std::size_t key_len, std::size_t len) {
    const auto k = static_cast<std::int32_t>(key_len);
    return DeltaOfSum(k * (k + 1) / 2 + static_cast<std::int32_t>(WalkedKeySum(key, key_len, len)));
}

void KeyStream(const std::uint8_t* key, std::size_t key_len, std::size_t len, std::uint8_t delta,
               std::uint8_t* z) {
    if (len <= key_len) {
        AffineBytes(z, key, len, 1, delta);
    } else if (key_len < kShortKey) {
        std::uint8_t repeated[256];
        RepeatKey(key, key_len, len, repeated);
        TableBytes(z, repeated, kShortKeyCoefficients.a[key_len], kShortKeyCoefficients.b[key_len],
                   len, delta);
    } else {
        std::size_t m = 0;
        for (std::size_t start = 0; start < len; start += key_len, ++m) {
            AffineBytes(z + start, key, std::min(key_len, len - start), kStepPowersTable.a[m],
                        static_cast<std::uint8_t>(kStepPowersTable.b[m] + delta));
        }
    }
}

__attribute__((target_clones("avx2", "default"))) void AddTwoKeys(
    std::uint8_t* out, const std::uint8_t* x, const std::uint8_t* k1, const std::uint8_t* k2,
    std::size_t n, std::uint8_t delta) {
    for (std::size_t i = 0; i < n; ++i) {
        out[i] = static_cast<std::uint8_t>(x[i] + k1[i] + k2[i] + delta);
    }
}

__attribute__((target_clones("avx2", "default"))) void SubTwoKeys(
    std::uint8_t* out, const std::uint8_t* x, const std::uint8_t* k1, const std::uint8_t* k2,
    std::size_t n, std::uint8_t delta) {
    for (std::size_t i = 0; i < n; ++i) {
        out[i] = static_cast<std::uint8_t>(x[i] - k1[i] - k2[i] - delta);
    }
}

namespace {

std::uint32_t DigestSumPlain(const std::uint8_t* d, std::uint32_t len) {
    std::uint32_t s = len * (len + 1) / 2;
    for (std::uint32_t i = 0; i < len; ++i) {
        const std::uint32_t stepped = static_cast<std::uint8_t>(9 * d[i] + 7);
        s += stepped * kDigestWeights.position[i] + d[i] * kDigestWeights.bucket[i];
    }
    return s;
}

// The same sums as 16-bit multiply-adds: the position weights fit 16 bits,
// and each bucket weight is split as high * 32768 + low with both parts
// below 32768. No partial sum comes near 2^31.
struct DigestWeights16 {
    alignas(32) std::int16_t position[256];
    alignas(32) std::int16_t bucket_low[256];
    alignas(32) std::int16_t bucket_high[256];
};
constexpr DigestWeights16 kDigestWeights16 = [] {
    DigestWeights16 w{};
    for (std::size_t i = 0; i < 255; ++i) {
        w.position[i] = static_cast<std::int16_t>(kDigestWeights.position[i]);
        w.bucket_low[i] = static_cast<std::int16_t>(kDigestWeights.bucket[i] % 32768);
        w.bucket_high[i] = static_cast<std::int16_t>(kDigestWeights.bucket[i] / 32768);
    }
    return w;
}();

__attribute__((target("avx2"))) std::uint32_t DigestSumAvx2(const std::uint8_t* d,
                                                            std::uint32_t len) {
    const __m256i seven = _mm256_set1_epi16(7);
    const __m256i low = _mm256_set1_epi16(0xFF);
    __m256i acc = _mm256_setzero_si256();
    __m256i acc_high = _mm256_setzero_si256();
    std::uint32_t i = 0;
    for (; i + 16 <= len; i += 16) {
        const __m256i x =
            _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i)));
        const __m256i stepped = _mm256_and_si256(
            _mm256_add_epi16(_mm256_add_epi16(_mm256_slli_epi16(x, 3), x), seven), low);
        const auto* pos = reinterpret_cast<const __m256i*>(kDigestWeights16.position + i);
        const auto* blo = reinterpret_cast<const __m256i*>(kDigestWeights16.bucket_low + i);
        const auto* bhi = reinterpret_cast<const __m256i*>(kDigestWeights16.bucket_high + i);
        acc = _mm256_add_epi32(acc, _mm256_madd_epi16(stepped, _mm256_load_si256(pos)));
        acc = _mm256_add_epi32(acc, _mm256_madd_epi16(x, _mm256_load_si256(blo)));
        acc_high = _mm256_add_epi32(acc_high, _mm256_madd_epi16(x, _mm256_load_si256(bhi)));
    }
    std::uint32_t s = len * (len + 1) / 2 + HorizontalSum(acc) + 32768u * HorizontalSum(acc_high);
    for (; i < len; ++i) {
        const std::uint32_t stepped = static_cast<std::uint8_t>(9 * d[i] + 7);
        s += stepped * kDigestWeights.position[i] + d[i] * kDigestWeights.bucket[i];
    }
    return s;
}

}  // namespace

std::uint32_t DigestSum(const std::uint8_t* d, std::uint32_t len) {
    static const bool avx2 = __builtin_cpu_supports("avx2");
    return avx2 ? DigestSumAvx2(d, len) : DigestSumPlain(d, len);
}

__attribute__((target_clones("avx2", "default"))) void AddStream(std::uint8_t* out,
                                                                 const std::uint8_t* x,
                                                                 const std::uint8_t* z,
                                                                 std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        out[i] = static_cast<std::uint8_t>(x[i] + z[i]);
    }
}

__attribute__((target_clones("avx2", "default"))) void SubStream(std::uint8_t* out,
                                                                 const std::uint8_t* x,
                                                                 const std::uint8_t* z,
                                                                 std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        out[i] = static_cast<std::uint8_t>(x[i] - z[i]);
    }
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
