// The ChaCha20 block function, used as the keystream of the program's
// random generator: the operating system's entropy seeds it, and it turns a
// 32-byte key into as many random bytes as the archives need, far faster
// than asking the kernel for every batch.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tazu {

inline constexpr std::size_t kChaChaBlockSize = 64;

// Writes `blocks` consecutive ChaCha20 blocks (RFC 8439 layout: 32-bit block
// counter, 96-bit nonce) for the key starting at counter to out.
void ChaChaBlocks(const std::uint8_t key[32], const std::uint8_t nonce[12], std::uint32_t counter,
                  std::size_t blocks, std::uint8_t* out);

}  // namespace tazu
