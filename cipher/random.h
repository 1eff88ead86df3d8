// The program's one source of random values. Every salt, block key, envelope
// noise byte and per-block random byte comes from a Random. The program uses
// SystemRandom (the operating system's entropy source); tests pass a
// SeededRandom so that archives and key stores can be rebuilt byte for byte.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tazu {

class Random {
  public:
    virtual ~Random() = default;

    // A value from 0 to n - 1, uniform, without modulo bias. Below(0) is 0.
    std::uint32_t Below(std::uint32_t n);

    // A uniform byte 0..255 (the same as Below(256), drawn more cheaply).
    // Every byte handed out is cleared from the buffer as it is taken, so
    // the generator keeps no copy of a salt or key it gave away.
    std::uint8_t Byte() {
        if (pos_ == kBatch) {
            Refill();
        }
        const std::uint8_t b = buffer_[pos_];
        buffer_[pos_++] = 0;
        return b;
    }

    // n bytes, the same as n calls of Byte() in a row.
    void Bytes(std::uint8_t* out, std::size_t n);

    // The points where the program would seed a clock generator: drops (and
    // clears) any buffered bytes so the next values come from a fresh draw.
    virtual void Reseed() { Drop(); }

    // Bytes drawn but not yet handed out.
    std::size_t Buffered() const { return kBatch - pos_; }

  protected:
    // Fills the whole span with fresh random bytes.
    virtual void Fill(std::uint8_t* out, std::size_t count) = 0;
    // Clears the bytes not yet handed out and forgets them.
    void Drop();

  private:
    static constexpr std::size_t kBatch = 4096;
    void Refill() {
        Fill(buffer_.data(), kBatch);
        pos_ = 0;
    }

    std::array<std::uint8_t, kBatch> buffer_{};
    std::size_t pos_ = kBatch;
};

// Seeded from getrandom() and stretched with ChaCha20 in user space, with
// fast key erasure: every batch is made with a fresh key taken from the
// previous output, so nothing in memory reveals what was drawn before. A
// fresh seed comes from the kernel at every reseed point and after every
// MiB drawn. Aborts the program if the kernel's entropy source is
// unusable: a run must never go on with predictable keys.
class SystemRandom final : public Random {
  public:
    ~SystemRandom() override;
    void Reseed() override;

  protected:
    void Fill(std::uint8_t* out, std::size_t count) override;

  private:
    std::array<std::uint8_t, 32> key_{};
    bool seeded_ = false;
    std::size_t since_seed_ = 0;
};

// A deterministic generator (SplitMix64) for tests, golden archives and
// benchmarks. Never used for real archives.
class SeededRandom final : public Random {
  public:
    explicit SeededRandom(std::uint64_t seed) : state_(seed) {}
    void Reseed() override {}  // stays reproducible across reseed points

  protected:
    void Fill(std::uint8_t* out, std::size_t count) override;

  private:
    std::uint64_t state_;
};

// The program-wide generator.
Random& ProgramRandom();

}  // namespace tazu
