// Envelopes hide a short value at a random place inside random noise,
// encipher it with the rest of that noise, and encipher the whole record
// with a key. The record size never depends on the value's length.
#pragma once

#include "cipher/random.h"
#include "cipher/str255.h"

namespace tazu {

inline constexpr std::size_t kEnvelopeSize = 252;
inline constexpr std::size_t kDoubleEnvelopeSize = 253;
inline constexpr std::size_t kEnvelopeMaxData = 128;
inline constexpr std::size_t kDoubleEnvelopeMaxData = 64;

// A 252-byte record holding 1 to 128 bytes of data; empty for empty data,
// data longer than 128 bytes or an empty key.
Str255 Envelope(const Str255& data, const Str255& key, Random& random);
Str255 OpenEnvelope(const Str255& record, const Str255& key);

// A 253-byte record holding 1 to 64 bytes of data twice, once in each half
// of the noise. Opening gives empty when the two copies disagree, which is
// how a wrong key (a wrong password) shows.
Str255 DoubleEnvelope(const Str255& data, const Str255& key, Random& random);
Str255 OpenDoubleEnvelope(const Str255& record, const Str255& key);

// The same envelopes built on the cipher pairs of format versions 00 and 02.
// The readers need the openers; the builders serve the tests that make
// archives of those versions.
Str255 Envelope00(const Str255& data, const Str255& key, Random& random);
Str255 OpenEnvelope00(const Str255& record, const Str255& key);
Str255 DoubleEnvelope00(const Str255& data, const Str255& key, Random& random);
Str255 OpenDoubleEnvelope00(const Str255& record, const Str255& key);
Str255 Envelope02(const Str255& data, const Str255& key, Random& random);
Str255 OpenEnvelope02(const Str255& record, const Str255& key);
Str255 DoubleEnvelope02(const Str255& data, const Str255& key, Random& random);
Str255 OpenDoubleEnvelope02(const Str255& record, const Str255& key);

}  // namespace tazu
