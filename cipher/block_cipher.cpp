#include "cipher/block_cipher.h"

#include <cstring>

#include "cipher/keyed.h"
#include "cipher/keyed_internal.h"
#include "cipher/wipe.h"

namespace tazu {

using namespace internal;

BlockCipher::BlockCipher(const Str255& block_key, const Str255& second_block_key,
                         const Str255& signature_key)
    : b2_(second_block_key), signature_key_(signature_key) {
    SetBlockKey(block_key);
    random_walk_ = MakeRandomWalk(b1_len_);
    if (!signature_key_.empty()) {
        Str255 zeros;
        zeros.resize(2);
        zeros[0] = zeros[1] = 0;
        sig_offsets_ = KeyedAdd(zeros, signature_key_);
    }
}

BlockCipher::~BlockCipher() {
    WipeBytes(b1_, sizeof b1_);
    b2_.Wipe();
    signature_key_.Wipe();
    sig_offsets_.Wipe();
}

void BlockCipher::SetBlockKey(const Str255& key) {
    std::memset(b1_, 0, sizeof b1_);
    std::memcpy(b1_, key.data(), key.size());
    b1_len_ = key.size();
}

std::uint8_t BlockCipher::SecondKeyDelta(std::size_t len) {
    if (len != b2_delta_len_) {
        b2_delta_ = CurrentDelta(b2_.data(), b2_.size(), len);
        b2_delta_len_ = len;
    }
    return b2_delta_;
}

std::uint8_t BlockCipher::BlockKeyDelta(std::size_t len) {
    if (len == b1_sum_len_) {
        return CurrentDeltaOfSum(b1_len_, b1_sum_);
    }
    return CurrentDelta(b1_, b1_len_, len);
}

void BlockCipher::AdvanceBlockKey(const std::uint8_t* random, std::size_t count,
                                  std::size_t next_len) {
    b1_sum_len_ = 0;
    if (b1_len_ == 0 || count == 0) {
        b1_len_ = 0;
        return;
    }
    const std::uint8_t delta = CurrentDelta(random, count, b1_len_);
    // The key's sum for the next block comes out of the same pass that
    // updates the key.
    if (next_len != 0 && next_len <= b1_len_ && count < 16 && count < b1_len_) {
        b1_sum_ = AdvanceShortKey(b1_, b1_len_, random, count, delta, next_len);
        b1_sum_len_ = next_len;
        return;
    }
    std::uint8_t z[255];
    KeyStream(random, count, b1_len_, delta, z);
    if (next_len != 0 && next_len <= b1_len_) {
        b1_sum_ = AddStreamWalkedSum(b1_, z, b1_len_, next_len);
        b1_sum_len_ = next_len;
    } else {
        AddStream(b1_, b1_, z, b1_len_);
    }
}

void BlockCipher::Encipher(const std::uint8_t* chunk, std::size_t len, const std::uint8_t* random,
                           std::uint8_t* ciphertext, std::uint8_t* signature) {
    EncipherUnsigned(chunk, len, random, ciphertext);
    Sign(ciphertext, len + kRandomBytes, signature);
}

void BlockCipher::EncipherUnsigned(const std::uint8_t* chunk, std::size_t len,
                                   const std::uint8_t* random, std::uint8_t* ciphertext) {
    const std::size_t n = len + kRandomBytes;
    if (n <= b1_len_ && n <= b2_.size() && b1_len_ > kRandomBytes) {
        // Both keys cover the data, so each adds its own bytes plus one
        // constant: c = x + B1 + B2 + delta1 + delta2.
        const auto delta = static_cast<std::uint8_t>(BlockKeyDelta(n) + SecondKeyDelta(n));
        // The usual block: enciphered and the key advanced in one pass.
        b1_sum_ = EncipherBlock(ciphertext, chunk, len, random, b1_, b1_len_, b2_.data(), delta,
                                random_walk_);
        b1_sum_len_ = n;
        return;
    }
    // A key shorter than the data, or of 7 bytes or fewer: the transforms
    // themselves.
    Str255 x = Str255::FromBytes(chunk, len);
    x.append(random, kRandomBytes);
    const Str255 c = KeyedAdd(KeyedAdd(x, BlockKey()), b2_);
    std::memset(ciphertext, 0, n);
    std::memcpy(ciphertext, c.data(), c.size());
    AdvanceBlockKey(random, kRandomBytes, n);
}

std::size_t BlockCipher::Decipher(const std::uint8_t* ciphertext, std::size_t n,
                                  std::uint8_t* plain) {
    std::size_t got = n;
    if (n <= b1_len_ && n <= b2_.size()) {
        const auto delta = static_cast<std::uint8_t>(BlockKeyDelta(n) + SecondKeyDelta(n));
        if (n > kRandomBytes) {
            // The usual block: deciphered and the key advanced in one pass.
            b1_sum_ =
                DecipherBlock(plain, ciphertext, n, b1_, b1_len_, b2_.data(), delta, random_walk_);
            b1_sum_len_ = n;
            return n;
        }
        SubTwoKeys(plain, ciphertext, b1_, b2_.data(), n, delta);
    } else {
        const Str255 x = KeyedSub(KeyedSub(Str255::FromBytes(ciphertext, n), b2_), BlockKey());
        std::memcpy(plain, x.data(), x.size());
        got = x.size();
    }
    const std::size_t random = got < kRandomBytes ? got : kRandomBytes;
    AdvanceBlockKey(plain + got - random, random, n);
    return got;
}

void BlockCipher::Sign(const std::uint8_t* data, std::size_t n, std::uint8_t* signature) const {
    DigestPair(DigestSum(data, static_cast<std::uint32_t>(n)), signature);
    if (!sig_offsets_.empty()) {
        signature[0] = static_cast<std::uint8_t>(signature[0] + sig_offsets_[0]);
        signature[1] = static_cast<std::uint8_t>(signature[1] + sig_offsets_[1]);
    }
}

bool BlockCipher::Verify(const std::uint8_t* data, std::size_t n,
                         const std::uint8_t* signature) const {
    if (n == 0) {
        return false;
    }
    std::uint8_t expected[2];
    Sign(data, n, expected);
    return expected[0] == signature[0] && expected[1] == signature[1];
}

}  // namespace tazu
