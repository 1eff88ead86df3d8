#include "decrypt/version_marker.h"

#include <cstring>

#include "format/format.h"

namespace tazu {

namespace {

constexpr std::string_view kMarkerStem = "Tazu16x32.0";

bool SamePrefix(const Str255& a, const Str255& b) {
    return a.size() >= kMarkerCompareSize && b.size() >= kMarkerCompareSize &&
           std::memcmp(a.data(), b.data(), kMarkerCompareSize) == 0;
}

}  // namespace

int MarkerVersion(const Str255& marker) {
    // "Tazu16x32.0" + version digit + "."
    if (marker.size() < kMarkerCompareSize ||
        std::memcmp(marker.data(), kMarkerStem.data(), kMarkerStem.size()) != 0 ||
        marker[12] != '.') {
        return -1;
    }
    const std::uint8_t digit = marker[11];
    if (digit < '0' || digit > '0' + kNewestVersion) {
        return -1;
    }
    return digit - '0';
}

int ReadVersionMarker(InputStream& file, Str255& version_holder, Str255& marker,
                      DecryptCode& result_code) {
    if (!ReadChunk(file, kMarkerSize, marker)) {
        // A marker of version 04 to 07 cut after its 13th byte is a cut
        // archive, not a trailer.
        if (marker.size() == kMarkerCompareSize && MarkerVersion(marker) >= 4) {
            result_code = DecryptCode::kDamaged;
            return -1;
        }
        result_code = DecryptCode::kEndOfData;
        return -1;
    }
    if (version_holder.view() == kNoVersion) {
        version_holder = marker;
    }
    if (!SamePrefix(marker, version_holder)) {
        result_code = DecryptCode::kDamaged;
        return -1;
    }
    const int version = MarkerVersion(marker);
    if (version < 0) {
        result_code = DecryptCode::kBadVersion;
    }
    return version;
}

}  // namespace tazu
