#include "password/keyboard_latin.h"

#include <cstdint>

namespace tazu {
namespace {

// The Latin keys of а to я (U+0430 to U+044F), lower case; upper case
// letters take the shifted keys.
constexpr char kLower[] = "f,dult;pbqrkvyjghcnea[wxio]sm'.z";
constexpr char kUpper[] = "F<DULT:PBQRKVYJGHCNEA{WXIO}SM\">Z";

// The code point of the UTF-8 sequence at text[i] and its length; a byte
// that starts no valid sequence counts as one code point of its own.
std::uint32_t Decode(std::string_view text, std::size_t i, std::size_t& length) {
    const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[i + k]); };
    const std::uint8_t lead = byte(0);
    length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (length == 1 || i + length > text.size()) {
        length = 1;
        return lead;
    }
    std::uint32_t cp = lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(k) & 0xC0) != 0x80) {
            length = 1;
            return lead;
        }
        cp = (cp << 6) | (byte(k) & 0x3F);
    }
    return cp;
}

char LatinOf(std::uint32_t cp) {
    if (cp >= 0x430 && cp <= 0x44F) {
        return kLower[cp - 0x430];
    }
    if (cp >= 0x410 && cp <= 0x42F) {
        return kUpper[cp - 0x410];
    }
    if (cp == 0x451) {  // ё
        return '`';
    }
    if (cp == 0x401) {  // Ё
        return '~';
    }
    return static_cast<char>('a' + cp % 26);
}

}  // namespace

std::size_t KeyboardLatin(std::string_view text, char* out) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<std::uint8_t>(text[i]);
        if (lead < 0x80) {
            out[n++] = text[i++];
            continue;
        }
        std::size_t length = 1;
        out[n++] = LatinOf(Decode(text, i, length));
        i += length;
    }
    return n;
}

}  // namespace tazu
