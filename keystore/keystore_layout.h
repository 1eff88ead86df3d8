// Byte layout of one key-store copy. The file holds the copy twice, back to
// back; the second is the backup of the first. Offsets are 0-based here.
//
// copy := marker(14) settings(1) check(253) sig(2) A(252) sig(2) B(252) sig(2)
//         keymark(252) sig(2)
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "cipher/envelope.h"
#include "format/format.h"

namespace tazu::keystore_layout {

// The marker, its compared part, the signature and the salt sizes are the
// archive's own (format/format.h).
inline constexpr std::string_view kMarker = kMarker07;

inline constexpr std::size_t kSettingsOffset = kMarkerSize;                               // 14
inline constexpr std::size_t kCheckOffset = kSettingsOffset + 1;                          // 15
inline constexpr std::size_t kCheckSignatureOffset = kCheckOffset + kDoubleEnvelopeSize;  // 268
inline constexpr std::size_t kRecordAOffset = kCheckSignatureOffset + kSignatureSize;     // 270
inline constexpr std::size_t kRecordStride = kEnvelopeSize + kSignatureSize;              // 254
inline constexpr std::size_t kRecordBOffset = kRecordAOffset + kRecordStride;             // 524
inline constexpr std::size_t kKeyMarkOffset = kRecordBOffset + kRecordStride;             // 778
inline constexpr std::size_t kCopySize = kKeyMarkOffset + kRecordStride;                  // 1032
inline constexpr std::size_t kFileSize = 2 * kCopySize;                                   // 2064

// How much of a file is read, and how much of it the backup copy may span.
inline constexpr std::size_t kReadLimit = 8192;
inline constexpr std::size_t kBackupLimit = 4096;
// The first position (0-based) where the backup copy's marker is looked for.
inline constexpr std::size_t kBackupScanStart = kSettingsOffset;

// The personal code is split after this many bytes into records A and B.
inline constexpr std::size_t kRecordAData = 127;
inline constexpr std::size_t kPersonalCodeMin = 128;
inline constexpr std::size_t kKeyMarkMax = kEnvelopeMaxData;  // 128

// Bits of the settings byte that no switch of the settings tab carries; a
// save writes them back as they were loaded.
inline constexpr std::uint8_t kKeptSettingsBits = 0x83;

static_assert(kCheckSignatureOffset == 268);
static_assert(kRecordAOffset == 270);
static_assert(kRecordBOffset == 524);
static_assert(kKeyMarkOffset == 778);
static_assert(kCopySize == 1032);
static_assert(kMarker.size() == kMarkerSize);

}  // namespace tazu::keystore_layout
