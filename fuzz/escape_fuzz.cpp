// The escaping of names shown on a terminal: the input is a name of any
// bytes.
//
// What must hold: what is shown is valid UTF-8 without a control character
// (C0, DEL, C1), so that no name can move the cursor, recolour, retitle
// or add lines; a name of printable ASCII is shown as it is; and every C0
// control and DEL becomes its \xNN.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

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

// How often needle occurs in text.
std::size_t Count(const std::string& text, std::string_view needle) {
    std::size_t n = 0;
    for (std::size_t at = text.find(needle); at != std::string::npos;
         at = text.find(needle, at + 1)) {
        ++n;
    }
    return n;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string name(reinterpret_cast<const char*>(data), size);
    const std::string shown = tazu::terminal::Escaped(name);
    for (std::size_t i = 0; i < shown.size();) {
        std::uint32_t cp = 0;
        const std::size_t n = Decode(shown, i, cp);
        if (n == 0 || Control(cp)) {
            std::abort();  // what is shown must be UTF-8 without a control character
        }
        i += n;
    }
    std::size_t plain = 0;
    std::size_t controls = 0;
    for (const char c : name) {
        plain += c >= 0x20 && c < 0x7F ? 1 : 0;
        controls += (c >= 0 && c < 0x20) || c == 0x7F ? 1 : 0;
    }
    if (plain == name.size() && shown != name) {
        std::abort();  // printable ASCII must be shown as it is
    }
    // Every C0 control and DEL becomes its \xNN; none of those is taken away.
    if (Count(shown, "\\x") < Count(name, "\\x") + controls) {
        std::abort();
    }
    return 0;
}
