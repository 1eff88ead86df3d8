#include "cipher/random.h"

#include <algorithm>
#include <cstring>

#include "cipher/chacha.h"
#include "cipher/entropy.h"
#include "cipher/wipe.h"

namespace tazu {

void Random::Bytes(std::uint8_t* out, std::size_t n) {
    while (n > 0) {
        if (pos_ == kBatch) {
            Refill();
        }
        const std::size_t k = std::min(n, kBatch - pos_);
        std::memcpy(out, buffer_.data() + pos_, k);
        WipeBytes(buffer_.data() + pos_, k);
        pos_ += k;
        out += k;
        n -= k;
    }
}

void Random::Drop() {
    WipeBytes(buffer_.data() + pos_, kBatch - pos_);
    pos_ = kBatch;
}

std::uint32_t Random::Below(std::uint32_t n) {
    if (n <= 1) {
        return 0;
    }
    if (n <= 256) {
        // Rejection keeps every value equally likely: bytes at or above the
        // largest multiple of n are drawn again.
        const std::uint32_t limit = 256 - (256 % n);
        for (;;) {
            const std::uint32_t b = Byte();
            if (b < limit) {
                return b % n;
            }
        }
    }
    const std::uint64_t range = std::uint64_t{1} << 32;
    const std::uint64_t limit = range - (range % n);
    for (;;) {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            v = (v << 8) | Byte();
        }
        if (v < limit) {
            return v % n;
        }
    }
}

namespace {

constexpr std::size_t kReseedAfter = 1 << 20;

}  // namespace

SystemRandom::~SystemRandom() {
    Drop();
    WipeBytes(key_.data(), key_.size());
}

void SystemRandom::Reseed() {
    Random::Reseed();
    seeded_ = false;
}

void SystemRandom::Fill(std::uint8_t* out, std::size_t count) {
    constexpr std::size_t kMaxBlocks = 65;  // 4096 bytes of output plus the next key
    std::uint8_t stream[kMaxBlocks * kChaChaBlockSize];
    const std::uint8_t nonce[12] = {};
    while (count > 0) {
        if (!seeded_ || since_seed_ >= kReseedAfter) {
            SystemEntropy(key_.data(), key_.size());
            seeded_ = true;
            since_seed_ = 0;
        }
        const std::size_t n = std::min<std::size_t>(count, 4096);
        const std::size_t blocks = (key_.size() + n + kChaChaBlockSize - 1) / kChaChaBlockSize;
        ChaChaBlocks(key_.data(), nonce, 0, blocks, stream);
        std::memcpy(key_.data(), stream, key_.size());
        std::memcpy(out, stream + key_.size(), n);
        out += n;
        count -= n;
        since_seed_ += n;
    }
    WipeBytes(stream, sizeof stream);
}

void SeededRandom::Fill(std::uint8_t* out, std::size_t count) {
    std::size_t i = 0;
    while (i < count) {
        state_ += 0x9E3779B97F4A7C15ull;
        std::uint64_t z = state_;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        z ^= z >> 31;
        for (int k = 0; k < 8 && i < count; ++k, ++i) {
            out[i] = static_cast<std::uint8_t>(z >> (8 * k));
        }
    }
}

Random& ProgramRandom() {
    static SystemRandom generator;
    return generator;
}

}  // namespace tazu
