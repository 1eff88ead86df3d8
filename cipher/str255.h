// Str255: the length-prefixed byte string that every secret, record and key
// of the program travels as. One length byte (0 to 255) and 255 inline bytes;
// it never touches the heap, so copies are cheap and wiping is complete.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace tazu {

class Str255 {
  public:
    static constexpr std::size_t kCapacity = 255;

    Str255() = default;

    // Takes at most 255 bytes of the text; the rest is cut off.
    explicit Str255(std::string_view text) { Assign(text.data(), text.size()); }

    static Str255 FromBytes(const void* data, std::size_t count) {
        Str255 s;
        s.Assign(data, count);
        return s;
    }

    std::size_t size() const { return len_; }
    bool empty() const { return len_ == 0; }
    const std::uint8_t* data() const { return bytes_.data(); }
    std::uint8_t* data() { return bytes_.data(); }

    // 0-based access; the record layouts count positions from 1.
    std::uint8_t operator[](std::size_t i) const { return bytes_[i]; }
    std::uint8_t& operator[](std::size_t i) { return bytes_[i]; }

    std::string_view view() const { return {reinterpret_cast<const char*>(bytes_.data()), len_}; }
    std::string str() const { return std::string(view()); }

    // Sets the length; new bytes are zero. Lengths above 255 are cut to 255.
    void resize(std::size_t n) {
        n = std::min(n, kCapacity);
        if (n > len_) {
            std::memset(bytes_.data() + len_, 0, n - len_);
        }
        len_ = static_cast<std::uint8_t>(n);
    }

    // Appends one byte; a full string stays as it is.
    void push_back(std::uint8_t b) {
        if (len_ < kCapacity) {
            bytes_[len_++] = b;
        }
    }

    // Appends as much of other as fits.
    void append(const Str255& other) { append(other.data(), other.size()); }
    void append(const void* src, std::size_t count) {
        const std::size_t n = std::min(count, kCapacity - len_);
        if (n > 0) {
            std::memcpy(bytes_.data() + len_, src, n);
            len_ = static_cast<std::uint8_t>(len_ + n);
        }
    }

    // Copy of count bytes from the 0-based position pos, clamped to what exists.
    Str255 substr(std::size_t pos, std::size_t count = kCapacity) const {
        if (pos >= len_) {
            return {};
        }
        return FromBytes(bytes_.data() + pos, std::min(count, len_ - pos));
    }

    // Removes count bytes at the 0-based position pos, clamped to what exists.
    void erase(std::size_t pos, std::size_t count) {
        if (pos >= len_) {
            return;
        }
        count = std::min(count, len_ - pos);
        std::memmove(bytes_.data() + pos, bytes_.data() + pos + count, len_ - pos - count);
        len_ = static_cast<std::uint8_t>(len_ - count);
    }

    // Inserts src before the 0-based position pos (clamped to the end); bytes
    // pushed beyond 255 are lost.
    void insert(std::size_t pos, const Str255& src) {
        pos = std::min<std::size_t>(pos, len_);
        const std::size_t n = std::min(src.size(), kCapacity - len_);
        std::memmove(bytes_.data() + pos + n, bytes_.data() + pos,
                     std::min<std::size_t>(len_ - pos, kCapacity - pos - n));
        std::memcpy(bytes_.data() + pos, src.data(), n);
        len_ = static_cast<std::uint8_t>(len_ + n);
    }

    // Overwrites every byte, so a secret does not linger in memory.
    void Wipe() {
        volatile std::uint8_t* p = bytes_.data();
        for (std::size_t i = 0; i < kCapacity; ++i) {
            p[i] = 0;
        }
        len_ = 0;
    }

    friend bool operator==(const Str255& a, const Str255& b) {
        return a.len_ == b.len_ && std::memcmp(a.bytes_.data(), b.bytes_.data(), a.len_) == 0;
    }

  private:
    void Assign(const void* src, std::size_t count) {
        len_ = static_cast<std::uint8_t>(std::min(count, kCapacity));
        if (len_ > 0) {
            std::memcpy(bytes_.data(), src, len_);
        }
    }

    std::uint8_t len_ = 0;
    // Bytes past the length are never read, so they are left uninitialised:
    // zeroing 255 bytes on every construction would cost more than most
    // transforms.
    std::array<std::uint8_t, kCapacity> bytes_;
};

// Holds a plain secret for the length of one operation and wipes it after.
class WipeOnExit {
  public:
    explicit WipeOnExit(Str255& s) : s_(s) {}
    ~WipeOnExit() { s_.Wipe(); }
    WipeOnExit(const WipeOnExit&) = delete;
    WipeOnExit& operator=(const WipeOnExit&) = delete;

  private:
    Str255& s_;
};

}  // namespace tazu
