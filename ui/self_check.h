// The program's check of its own file. The build appends a signature record
// to the finished program: a 14-byte marker and a 16-byte digest over every
// byte before the record, chained through KeyedDigest with the built-in key.
// The check recomputes the digest and compares.
//
// This finds a program file that was damaged or patched by anyone who does
// not also re-sign it; the key is inside the program, so it is not a proof
// against a deliberate forger.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "cipher/str255.h"

namespace tazu {

inline constexpr std::string_view kSignatureMarker = "Tazu16x32.SIGN";
inline constexpr std::size_t kSignatureMarkerSize = 14;
inline constexpr std::size_t kSignatureDigestSize = 16;
inline constexpr std::size_t kSignatureRecordSize = kSignatureMarkerSize + kSignatureDigestSize;
static_assert(kSignatureMarker.size() == kSignatureMarkerSize, "");

enum class SelfCheckResult : std::uint8_t {
    kIntact,      // the digest matches
    kChanged,     // a record is there, the digest does not match
    kNotSigned,   // no signature record at the end of the file
    kCannotRead,  // the file cannot be opened or read
};

// Called with 0 to 100 as the reading proceeds (only when the value moves).
using SelfCheckProgress = std::function<void(int percent)>;

SelfCheckResult CheckProgramFile(const std::filesystem::path& file,
                                 const SelfCheckProgress& progress = {});

// Appends the signature record, replacing a record already at the end. On
// failure returns false with a description in error.
bool SignProgramFile(const std::filesystem::path& file, std::string& error);

}  // namespace tazu
