// The settings byte as the main window's switches show it now, and the
// placement rule every dialog follows.
#pragma once

#include <cmath>
#include <cstdint>

namespace tazu {

struct SwitchState {
    bool check_box2 = false;  // bit 6
    bool check_box3 = false;  // bit 5
    bool check_box4 = false;  // bit 4
    bool check_box5 = false;  // bit 3
    bool image2 = false;      // bit 2
};

// Bits 7, 1 and 0 come from the stored settings byte; the others from the
// switches. Built as eight '0'/'1' characters and read in base 2, the same
// way the loader's ByteToBits reads them back.
std::uint8_t CurrentSettingsByte(std::uint8_t stored, const SwitchState& switches);

// Where a window of the given extent starts when centred over its owner:
// owner's origin + owner's extent / 2 - own extent / 2, rounded to the
// nearest integer with halves going to the even neighbour.
inline int CentredOrigin(int owner_origin, int owner_extent, int own_extent) {
    const double origin = owner_origin + owner_extent / 2.0 - own_extent / 2.0;
    return static_cast<int>(std::nearbyint(origin));  // default mode: to nearest, ties to even
}

}  // namespace tazu
