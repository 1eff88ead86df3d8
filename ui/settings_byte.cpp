#include "ui/settings_byte.h"

#include "cipher/keyed.h"
#include "keystore/key_store.h"

namespace tazu {

std::uint8_t CurrentSettingsByte(std::uint8_t stored, const SwitchState& switches) {
    const Str255 loaded = ByteToBits(stored);
    char text[8] = {'0', '0', '0', '0', '0', '0', '0', '0'};
    text[0] = static_cast<char>(loaded[0]);
    text[6] = static_cast<char>(loaded[6]);
    text[7] = static_cast<char>(loaded[7]);
    const bool on[5] = {switches.check_box2, switches.check_box3, switches.check_box4,
                        switches.check_box5, switches.image2};
    for (int i = 0; i < 5; ++i) {
        if (on[i]) {
            text[1 + i] = '1';
        }
    }
    return static_cast<std::uint8_t>(ParseBaseN(std::string_view(text, 8), 2));
}

}  // namespace tazu
