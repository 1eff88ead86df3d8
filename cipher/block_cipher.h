// The data blocks of one archive entry. Each block's plaintext (a chunk and
// its 7 random bytes) is enciphered as KeyedAdd(KeyedAdd(x, B1), B2), signed
// with the entry's record signature key, and the running block key B1 then
// becomes KeyedAdd(B1, random bytes). This class does exactly that, fused
// into a few vectorised passes with the per-entry constants computed once;
// its results equal those of the separate transforms byte for byte.
#pragma once

#include <cstddef>
#include <cstdint>

#include "cipher/kernel_tables.h"
#include "cipher/str255.h"

namespace tazu {

class BlockCipher {
  public:
    static constexpr std::size_t kRandomBytes = 7;

    BlockCipher(const Str255& block_key, const Str255& second_block_key,
                const Str255& signature_key);
    // Wipes the keys.
    ~BlockCipher();
    BlockCipher(const BlockCipher&) = delete;
    BlockCipher& operator=(const BlockCipher&) = delete;

    // Enciphers len bytes of chunk (0 to 248) followed by the 7 random bytes
    // into ciphertext (len + 7 bytes), writes its 2-byte record signature to
    // signature, and advances the block key.
    void Encipher(const std::uint8_t* chunk, std::size_t len, const std::uint8_t* random,
                  std::uint8_t* ciphertext, std::uint8_t* signature);
    // The same without the signature, which Sign(ciphertext, len + 7, ...)
    // gives later (on any thread: it does not depend on the block key).
    void EncipherUnsigned(const std::uint8_t* chunk, std::size_t len, const std::uint8_t* random,
                          std::uint8_t* ciphertext);

    // Deciphers n ciphertext bytes (1 to 255) into plain, whose last 7 bytes
    // are the block's random bytes (all of it when n < 7), and advances the
    // block key with them. Returns the number of bytes deciphered: n, or 0
    // when a block key is empty (an archive can carry empty keys only when
    // it was tampered with).
    std::size_t Decipher(const std::uint8_t* ciphertext, std::size_t n, std::uint8_t* plain);

    // The 2-byte record signature of n bytes (n >= 1) under the signature key.
    void Sign(const std::uint8_t* data, std::size_t n, std::uint8_t* signature) const;
    bool Verify(const std::uint8_t* data, std::size_t n, const std::uint8_t* signature) const;

    Str255 BlockKey() const { return Str255::FromBytes(b1_, b1_len_); }

  private:
    std::uint8_t SecondKeyDelta(std::size_t len);
    std::uint8_t BlockKeyDelta(std::size_t len);
    // B1 := KeyedAdd(B1, random bytes), noting B1's walked sum for data of
    // next_len bytes (the length the next block most likely has).
    void AdvanceBlockKey(const std::uint8_t* random, std::size_t count, std::size_t next_len);
    void SetBlockKey(const Str255& key);

    // The running block key, in a buffer of its own that the vector kernels
    // may read and write whole (bytes past b1_len_ are scratch).
    alignas(64) std::uint8_t b1_[256];
    std::size_t b1_len_ = 0;
    Str255 b2_;
    Str255 signature_key_;
    // KeyedAdd of two zero bytes with the signature key: what the keyed
    // transform adds to each of the two digest bytes, fixed per entry.
    Str255 sig_offsets_;
    // The running block key's walked sum for data of b1_sum_len_ bytes,
    // computed while the key was last updated (0: not known).
    std::size_t b1_sum_len_ = 0;
    std::uint32_t b1_sum_ = 0;
    // How the block's random bytes walk over the block key.
    internal::RandomWalk random_walk_;
    // The second block key's constant for the last data length seen.
    std::size_t b2_delta_len_ = 0;
    std::uint8_t b2_delta_ = 0;
};

}  // namespace tazu
