// The escaping of names shown on a terminal: the input is a name of any
// bytes.
//
// What must hold: what is shown is valid UTF-8 without a control character
// (C0, DEL, C1), so that no name can move the cursor, recolour, retitle
// or add lines; printable ASCII and valid UTF-8 characters stay as they
// were, and every other byte becomes its \xNN, so that two names that
// differ are shown differently.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "terminal/terminal.h"

namespace {

// The length of the valid UTF-8 character at text[i] and its code point,
// or 0 (decoded on its own here, without the escaping's code).
std::size_t Decode(const std::string& text, std::size_t i, std::uint32_t& cp) {
    const auto c = static_cast<unsigned char>(text[i]);
    const std::size_t n = c < 0x80         ? 1
                          : (c >> 5) == 6  ? 2
                          : (c >> 4) == 14 ? 3
                          : (c >> 3) == 30 ? 4
                                           : 0;
    if (n == 0 || i + n > text.size()) {
        return 0;
    }
    cp = n == 1 ? c : c & (0x7F >> n);
    for (std::size_t k = 1; k < n; ++k) {
        const auto d = static_cast<unsigned char>(text[i + k]);
        if ((d & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (d & 0x3F);
    }
    static constexpr std::uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kLeast[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return 0;
    }
    return n;
}

bool Control(std::uint32_t cp) {
    return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string name(reinterpret_cast<const char*>(data), size);
    const std::string shown = tazu::terminal::Escaped(name);
    // What the shown text must be, built character by character.
    std::string expected;
    for (std::size_t i = 0; i < name.size();) {
        std::uint32_t cp = 0;
        const std::size_t n = Decode(name, i, cp);
        if (n > 0 && !Control(cp)) {
            expected.append(name, i, n);
            i += n;
            continue;
        }
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned char>(name[i]));
        expected += escaped;
        ++i;
    }
    if (shown != expected) {
        std::abort();  // a control character or a broken sequence shown as it is
    }
    for (std::size_t i = 0; i < shown.size();) {
        std::uint32_t cp = 0;
        const std::size_t n = Decode(shown, i, cp);
        if (n == 0 || Control(cp)) {
            std::abort();  // what is shown must be clean UTF-8
        }
        i += n;
    }
    return 0;
}
