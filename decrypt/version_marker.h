// The 14-byte version marker at the start of every entry. Only its first 13
// bytes are compared; the 14th is ignored everywhere.
#pragma once

#include <string_view>

#include "cipher/str255.h"
#include "decrypt/result_code.h"
#include "io/file_io.h"

namespace tazu {

// What the file-version holder holds before the first entry was read.
inline constexpr std::string_view kNoVersion = "NoVer";

// The format version named by the first 13 bytes of a marker, or -1.
int MarkerVersion(const Str255& marker);

// Reads the next marker into marker. Returns the format version 0 to 7, or
// -1 with resultCode set: kEndOfData when fewer than 14 bytes came (marker
// then holds what did come: the trailer), kDamaged when the marker differs
// from the first entry's (or is exactly the first 13 bytes of a marker of
// version 04 to 07), kBadVersion when it is unknown. Sets versionHolder from
// the first entry.
int ReadVersionMarker(InputStream& file, Str255& versionHolder, Str255& marker,
                      DecryptCode& resultCode);

}  // namespace tazu
