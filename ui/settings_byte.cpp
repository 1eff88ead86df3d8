#include "ui/settings_byte.h"

#include "cipher/keyed.h"
#include "keystore/key_store.h"
#include "keystore/keystore_file.h"

namespace tazu {

std::uint8_t CurrentSettingsByte(std::uint8_t stored, const SwitchState& switches) {
    const Str255 loaded = ByteToBits(stored);
    char text[8] = {'0', '0', '0', '0', '0', '0', '0', '0'};
    text[0] = static_cast<char>(loaded[0]);
    text[6] = static_cast<char>(loaded[6]);
    text[7] = static_cast<char>(loaded[7]);
    // The characters run from bit 7 down to bit 0.
    const struct {
        bool on;
        SettingsBit bit;
    } bits[] = {{switches.check_box2, kUsePersonalCodeBit},
                {switches.check_box3, kSelfDecryptingBit},
                {switches.check_box4, kHidePasswordsBit},
                {switches.check_box5, kSaveOnExitBit},
                {switches.image2, kSecondPictureBit}};
    for (const auto& s : bits) {
        if (s.on) {
            text[7 - s.bit] = '1';
        }
    }
    return static_cast<std::uint8_t>(ParseBaseN(std::string_view(text, 8), 2));
}

}  // namespace tazu
