// Record layout of an archive, format version 07.
//
// archive   := entry* trailer
// entry     := marker(14) salt(253) sig(2) keymark(252) sig(2) name(252) sig(2) cont(1)
//              [namecont(252) sig(2) when cont = 0xFE]
//              blockkey1(252) sig(2) blockkey2(252) sig(2) blockkey3(252) sig(2)
//              blockkey4(252) sig(2) block* end
// block     := n(1, = chunk + 7) ciphertext(n) sig(2)
// end       := 0x00 sig(2) over the decimal text of the byte sum
// trailer   := 0xFF [sig(2) over the EntryChain, when any entry was written]
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "cipher/envelope.h"
#include "cipher/str255.h"

namespace tazu {

// The newest format version, the one this program writes (kMarker07).
inline constexpr int kNewestVersion = 7;
inline constexpr std::string_view kMarker07 = "Tazu16x32.07.0";
inline constexpr std::size_t kMarkerSize = 14;
inline constexpr std::size_t kMarkerCompareSize = 13;  // the 14th byte is never compared
inline constexpr std::size_t kSignatureSize = 2;
inline constexpr std::size_t kSaltRecordSize = kDoubleEnvelopeSize + kSignatureSize;  // 255
inline constexpr std::size_t kEnvelopeRecordSize = kEnvelopeSize + kSignatureSize;    // 254
inline constexpr std::size_t kNameRecordSize = kEnvelopeRecordSize + 1;               // 255
inline constexpr std::size_t kBlockKeyRecords = 4;
inline constexpr std::size_t kShortNameMax = 128;  // longer names take a continuation record
inline constexpr std::uint8_t kNoContinuation = 0x00;
inline constexpr std::uint8_t kContinuationSize = 0xFE;  // envelope + signature
inline constexpr std::size_t kFixedPartSize = kMarkerSize + kSaltRecordSize + kEnvelopeRecordSize +
                                              kNameRecordSize +
                                              kBlockKeyRecords * kEnvelopeRecordSize;
inline constexpr std::size_t kLongNameFixedPartSize = kFixedPartSize + kContinuationSize;

inline constexpr std::size_t kChunkSize = 245;
inline constexpr std::size_t kBlockRandomBytes = 7;
inline constexpr std::size_t kBlockOverhead = 1 + kBlockRandomBytes + kSignatureSize;  // 10
inline constexpr std::size_t kMaxBlockRecordSize = kChunkSize + kBlockOverhead;        // 255

inline constexpr std::uint8_t kEndRecordMarker = 0x00;
inline constexpr std::size_t kEndRecordSize = 1 + kSignatureSize;
inline constexpr std::uint8_t kTrailerMarker = 0xFF;

inline constexpr std::size_t kSaltMinSize = 48;
inline constexpr std::uint32_t kSaltExtraRange = 16;  // salt length 48 + Random(16)
inline constexpr std::size_t kBlockKeyMinSize = 254;  // block keys are 254 + Random(2) bytes
inline constexpr std::size_t kEntryChainLimit = 254;  // at this length the chain is digested
inline constexpr std::size_t kMaxKeyMarkSize = kEnvelopeMaxData;    // 128
inline constexpr std::size_t kBlockKeyPartSize = kEnvelopeMaxData;  // B[1..128], then B[129..end]
inline constexpr std::size_t kTrailerSize = 1 + kSignatureSize;     // 1 when no entry was written

static_assert(kSaltRecordSize == 255);
static_assert(kEnvelopeRecordSize == 254);
static_assert(kFixedPartSize == 1794);
static_assert(kLongNameFixedPartSize == 2048);
static_assert(kMaxBlockRecordSize == 255);
static_assert(kShortNameMax == kEnvelopeMaxData);
static_assert(kContinuationSize == kEnvelopeRecordSize);
static_assert(kMarkerSize == kMarker07.size());
static_assert(kChunkSize + kBlockRandomBytes <= 252, "a block's n byte stays below 253");

// Decimal text of a signed 32-bit sum: no leading zeros, "-" when negative.
inline Str255 DecimalText(std::int32_t value) {
    return Str255(std::to_string(value));
}

// The byte sum of a file's plaintext: added up in unsigned 32-bit arithmetic
// (wrap-around without overflow) and read as a signed value for its text.
// Adds count bytes to the 32-bit byte sum (wrapping like the signed sum).
void AddToByteSum(std::uint32_t& sum, const std::uint8_t* bytes, std::size_t count);
inline void AddToByteSum(std::uint32_t& sum, const Str255& chunk) {
    AddToByteSum(sum, chunk.data(), chunk.size());
}
inline Str255 ByteSumText(std::uint32_t sum) {
    return DecimalText(static_cast<std::int32_t>(sum));
}

// Adds salt[1] and salt[2] to the archive's EntryChain; at 254 bytes or more
// the chain is replaced by its 2-byte digest under the entry's signature key.
void AppendToEntryChain(Str255& chain, const Str255& salt, const Str255& record_signature_key);

// The trailer: 0xFF followed by the chain's signature under the built-in key
// (just 0xFF when no entry was written).
Str255 ArchiveTrailer(const Str255& chain);

}  // namespace tazu
