#include "cipher/envelope.h"

#include <cstring>

namespace tazu {
namespace {

// Reduces a stored position byte to 1..limit the way the format defines it.
std::size_t ReducePosition(std::size_t v, std::size_t limit) {
    while (v > limit) {
        v -= limit;
    }
    return v == 0 ? 1 : v;
}

// Reduces a stored length byte to 1..limit (0 stands for limit).
std::size_t ReduceLength(std::size_t v, std::size_t limit) {
    while (v > limit) {
        v -= limit;
    }
    return v == 0 ? limit : v;
}

Str255 Noise(std::size_t count, Random& random) {
    Str255 noise;
    noise.resize(count);
    random.Bytes(noise.data(), noise.size());
    return noise;
}

// Enciphers data with the noise around position pos (0-based; the data's
// length is cut out first) and puts the result at pos.
void HideAt(Str255& noise, std::size_t pos, const Str255& data, const CipherPair& pair) {
    Str255 rest = noise;
    rest.erase(pos, data.size());
    const Str255 hidden = pair.add(data, rest);
    noise.erase(pos, data.size());
    noise.insert(pos, hidden);
}

// Recovers count bytes hidden at pos (0-based) inside region.
Str255 RecoverAt(const Str255& region, std::size_t pos, std::size_t count, const CipherPair& pair) {
    const Str255 hidden = region.substr(pos, count);
    Str255 rest = region;
    rest.erase(pos, count);
    return pair.sub(hidden, rest);
}

}  // namespace

Str255 Envelope(const Str255& data, const Str255& key, Random& random, const CipherPair& pair) {
    if (data.empty() || data.size() > kEnvelopeMaxData || key.empty()) {
        return {};
    }
    Str255 n = Noise(250, random);
    const std::uint32_t r = random.Below(2);
    n.push_back(static_cast<std::uint8_t>(data.size() + 128 * r));
    const std::uint8_t c = random.Byte();
    n.push_back(c);
    HideAt(n, ReducePosition(c, 64) - 1, data, pair);
    return pair.add(n, key);
}

Str255 OpenEnvelope(const Str255& record, const Str255& key, const CipherPair& pair) {
    if (record.empty() || key.empty()) {
        return {};
    }
    const Str255 p = pair.sub(record, key);
    const std::size_t m = p.size();
    if (m < 2) {
        return {};
    }
    const std::size_t n = ReduceLength(p[m - 2], 128);
    const std::size_t pos = ReducePosition(p[m - 1], 64) - 1;
    return RecoverAt(p, pos, n, pair);
}

Str255 DoubleEnvelope(const Str255& data, const Str255& key, Random& random,
                      const CipherPair& pair) {
    if (data.empty() || key.empty() || data.size() > kDoubleEnvelopeMaxData) {
        return {};
    }
    Str255 n = Noise(250, random);
    const std::uint32_t s = random.Below(4);
    n.push_back(static_cast<std::uint8_t>(data.size() + 64 * s));
    const std::uint8_t c1 = random.Byte();
    n.push_back(c1);

    // First copy, enciphered with the first 124 noise bytes.
    const std::size_t p1 = ReducePosition(c1, 32) - 1;
    Str255 first_half = n.substr(0, 124);
    HideAt(first_half, p1, data, pair);
    std::memcpy(n.data() + p1, first_half.data() + p1, data.size());

    const std::uint8_t c2 = random.Byte();
    n.push_back(c2);

    // Second copy, enciphered with noise bytes 126..250 (1-based).
    const std::size_t p2 = ReducePosition(c2, 32) - 1;
    Str255 second_half = n.substr(125, 125);
    HideAt(second_half, p2, data, pair);
    std::memcpy(n.data() + 125 + p2, second_half.data() + p2, data.size());

    return pair.add(n, key);
}

Str255 OpenDoubleEnvelope(const Str255& record, const Str255& key, const CipherPair& pair) {
    if (record.empty() || key.empty()) {
        return {};
    }
    const Str255 p = pair.sub(record, key);
    const std::size_t m = p.size();
    if (m < 3) {
        return {};
    }
    const std::size_t n = ReduceLength(p[m - 3], 64);
    const std::size_t p1 = ReducePosition(p[m - 2], 32) - 1;
    const std::size_t p2 = ReducePosition(p[m - 1], 32) - 1;

    // Each half's noise is its region of the record with the copy cut out.
    const Str255 first = RecoverAt(p.substr(0, 124), p1, n, pair);
    Str255 second_key = p.substr(125, 125);
    second_key.erase(p2, n);
    const Str255 second = pair.sub(p.substr(125 + p2, n), second_key);
    if (first == second) {
        return second;
    }
    return {};
}

}  // namespace tazu
