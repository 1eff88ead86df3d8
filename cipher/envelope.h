// Envelopes hide a short value at a random place inside random noise,
// encipher it with the rest of that noise, and encipher the whole record
// with a key. The record size never depends on the value's length.
#pragma once

#include "cipher/keyed.h"
#include "cipher/random.h"
#include "cipher/str255.h"

namespace tazu {

inline constexpr std::size_t kEnvelopeSize = 252;
inline constexpr std::size_t kDoubleEnvelopeSize = 253;
inline constexpr std::size_t kEnvelopeMaxData = 128;
inline constexpr std::size_t kDoubleEnvelopeMaxData = 64;

// The two keyed transforms an envelope is built on: KeyedAdd and KeyedSub,
// or the variants that format versions 00 and 02 use.
struct CipherPair {
    Str255 (*add)(const Str255& data, const Str255& key);
    Str255 (*sub)(const Str255& data, const Str255& key);
};
inline constexpr CipherPair kCurrentPair{KeyedAdd, KeyedSub};
inline constexpr CipherPair kPair00{KeyedAdd00, KeyedSub00};
inline constexpr CipherPair kPair02{KeyedAdd02, KeyedSub02};

// A 252-byte record holding 1 to 128 bytes of data; empty for empty data,
// data longer than 128 bytes or an empty key. The readers of versions 00
// to 02 open envelopes of the older pairs; the tests also build them.
Str255 Envelope(const Str255& data, const Str255& key, Random& random,
                const CipherPair& pair = kCurrentPair);
Str255 OpenEnvelope(const Str255& record, const Str255& key, const CipherPair& pair = kCurrentPair);

// A 253-byte record holding 1 to 64 bytes of data twice, once in each half
// of the noise. Opening gives empty when the two copies disagree, which is
// how a wrong key (a wrong password) shows.
Str255 DoubleEnvelope(const Str255& data, const Str255& key, Random& random,
                      const CipherPair& pair = kCurrentPair);
Str255 OpenDoubleEnvelope(const Str255& record, const Str255& key,
                          const CipherPair& pair = kCurrentPair);

}  // namespace tazu
