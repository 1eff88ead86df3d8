// The direct byte-by-byte forms of the keyed transforms, exactly as the
// program defines them: every key byte stepped one at a time, every digest
// term added in order. The optimised library versions are checked against
// these on random inputs of every length.
#pragma once

#include <array>
#include <cstring>

#include "cipher/keyed.h"

namespace tazu::reference {
namespace {

// Which constant follows the key walk.
enum class Variant { kCurrent, k00, k02 };

std::uint8_t Delta(Variant variant, std::size_t key_len, std::uint32_t stepped_sum) {
    const auto k = static_cast<std::int32_t>(key_len);
    const std::int32_t triangle = k * (k + 1) / 2;
    const auto sum = static_cast<std::int32_t>(stepped_sum);
    switch (variant) {
        case Variant::kCurrent: {
            const std::int32_t s = triangle + sum;
            return static_cast<std::uint8_t>(AffineMod(s, 256) + AffineMod(s, 255));
        }
        case Variant::k00:
            return static_cast<std::uint8_t>(k + triangle + sum);
        case Variant::k02:
            return static_cast<std::uint8_t>(AffineMod(sum, 256) + triangle + AffineMod(sum, 255));
    }
    return 0;
}

// Walks a private copy of the key over the data (adding, or subtracting when
// kSubtract), then applies the variant's constant.
template <bool kSubtract>
Str255 Transform(const Str255& data, const Str255& key, Variant variant) {
    if (data.empty() || key.empty()) {
        return {};
    }
    Str255 d = data;
    std::array<std::uint8_t, 255> k;
    const std::size_t len = d.size();
    const std::size_t klen = key.size();
    std::memcpy(k.data(), key.data(), klen);
    std::size_t j = 0;
    for (std::size_t i = 0; i < len; ++i) {
        if constexpr (kSubtract) {
            d[i] = static_cast<std::uint8_t>(d[i] - k[j]);
        } else {
            d[i] = static_cast<std::uint8_t>(d[i] + k[j]);
        }
        k[j] = kKeyStepTable[k[j]];
        if (++j == klen) {
            j = 0;
        }
    }
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < klen; ++i) {
        sum += k[i];
    }
    const std::uint8_t delta = Delta(variant, klen, sum);
    for (std::size_t i = 0; i < len; ++i) {
        if constexpr (kSubtract) {
            d[i] = static_cast<std::uint8_t>(d[i] - delta);
        } else {
            d[i] = static_cast<std::uint8_t>(d[i] + delta);
        }
    }
    return d;
}

}  // namespace

inline Str255 KeyedAdd(const Str255& data, const Str255& key) {
    return Transform<false>(data, key, Variant::kCurrent);
}

inline Str255 KeyedSub(const Str255& data, const Str255& key) {
    return Transform<true>(data, key, Variant::kCurrent);
}

inline Str255 KeyedAdd00(const Str255& data, const Str255& key) {
    return Transform<false>(data, key, Variant::k00);
}

inline Str255 KeyedSub00(const Str255& data, const Str255& key) {
    return Transform<true>(data, key, Variant::k00);
}

inline Str255 KeyedAdd02(const Str255& data, const Str255& key) {
    return Transform<false>(data, key, Variant::k02);
}

inline Str255 KeyedSub02(const Str255& data, const Str255& key) {
    return Transform<true>(data, key, Variant::k02);
}

inline Str255 KeyedDigest(const Str255& data, std::size_t n, const Str255& key) {
    if (data.empty()) {
        return {};
    }
    const std::uint32_t len = static_cast<std::uint32_t>(data.size());
    std::uint32_t s = len * (len + 1) / 2;
    std::uint32_t buckets[5] = {0, 0, 0, 0, 0};
    for (std::uint32_t i = 0; i < len; ++i) {
        s += static_cast<std::uint32_t>(kKeyStepTable[data[i]]) * (i + 1);
        buckets[i % 5] += data[i];
    }
    s += 11u * buckets[0] + 100u * buckets[1] + 1000u * buckets[2] + 10000u * buckets[3] +
         100000u * buckets[4];
    Str255 out;
    n = std::min<std::size_t>(n, Str255::kCapacity);
    for (std::size_t i = 1; i <= n; ++i) {
        out.push_back(static_cast<std::uint8_t>(
            AffineMod(static_cast<std::int32_t>(s), static_cast<std::int32_t>(512 - i))));
    }
    if (!key.empty()) {
        out = reference::KeyedAdd(out, key);
    }
    return out;
}

}  // namespace tazu::reference
