// The operating system's entropy source, the one thing of the system that
// the ciphers need.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tazu {

// Fills out with count bytes from the operating system's entropy source
// (getrandom, or the system's preferred generator on Windows); a source
// that fails ends the program rather than hand out weak bytes.
void SystemEntropy(std::uint8_t* out, std::size_t count);

}  // namespace tazu
