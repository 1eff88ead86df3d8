#include "ui/self_check.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <system_error>
#include <vector>

#include "cipher/constants.h"
#include "cipher/keyed.h"

namespace tazu {
namespace {

// Each step digests the running state followed by the next chunk, so every
// byte of the file moves every later state.
constexpr std::size_t kChunkSize = Str255::kCapacity - kSignatureDigestSize;  // 239
constexpr std::size_t kReadSize = kChunkSize * 256;

class ChainedDigest {
  public:
    ChainedDigest() {
        state_ = KeyedDigest(Str255("Tazu16x32 self-check"), kSignatureDigestSize, BuiltInKey());
    }
    void Add(const std::uint8_t* data, std::size_t count) {
        while (count > 0) {
            const std::size_t n = std::min(count, kChunkSize);
            Str255 block = state_;
            block.append(data, n);
            state_ = KeyedDigest(block, kSignatureDigestSize, BuiltInKey());
            data += n;
            count -= n;
            length_ += n;
        }
    }
    // Folds in the length, so cutting bytes off the end is seen too.
    Str255 Finish() {
        Str255 block = state_;
        for (int i = 0; i < 8; ++i) {
            block.push_back(static_cast<std::uint8_t>(length_ >> (8 * i)));
        }
        return KeyedDigest(block, kSignatureDigestSize, BuiltInKey());
    }

  private:
    Str255 state_;
    std::uint64_t length_ = 0;
};

// The digest of the first `length` bytes of in; false on a read error.
bool DigestPrefix(std::ifstream& in, std::uint64_t length, const SelfCheckProgress& progress,
                  Str255& digest) {
    ChainedDigest chain;
    std::vector<std::uint8_t> buffer(kReadSize);
    std::uint64_t done = 0;
    int shown = -1;
    in.seekg(0);
    while (done < length) {
        const auto want =
            static_cast<std::streamsize>(std::min<std::uint64_t>(buffer.size(), length - done));
        in.read(reinterpret_cast<char*>(buffer.data()), want);
        if (in.gcount() != want) {
            return false;
        }
        chain.Add(buffer.data(), static_cast<std::size_t>(want));
        done += static_cast<std::uint64_t>(want);
        const int percent = static_cast<int>(done * 100 / length);
        if (progress && percent != shown) {
            shown = percent;
            progress(percent);
        }
    }
    digest = chain.Finish();
    return true;
}

bool ReadTail(std::ifstream& in, std::uint64_t size, std::array<char, kSignatureRecordSize>& tail) {
    if (size < kSignatureRecordSize) {
        return false;
    }
    in.seekg(static_cast<std::streamoff>(size - kSignatureRecordSize));
    in.read(tail.data(), tail.size());
    return in.gcount() == static_cast<std::streamsize>(tail.size()) &&
           std::memcmp(tail.data(), kSignatureMarker.data(), kSignatureMarkerSize) == 0;
}

}  // namespace

SelfCheckResult CheckProgramFile(const std::filesystem::path& file,
                                 const SelfCheckProgress& progress) {
    std::error_code ec;
    const std::uint64_t size = std::filesystem::file_size(file, ec);
    std::ifstream in(file, std::ios::binary);
    if (ec || !in) {
        return SelfCheckResult::kCannotRead;
    }
    std::array<char, kSignatureRecordSize> tail{};
    if (!ReadTail(in, size, tail)) {
        return in.bad() ? SelfCheckResult::kCannotRead : SelfCheckResult::kNotSigned;
    }
    in.clear();
    Str255 digest;
    if (!DigestPrefix(in, size - kSignatureRecordSize, progress, digest)) {
        return SelfCheckResult::kCannotRead;
    }
    const bool same =
        std::memcmp(digest.data(), tail.data() + kSignatureMarkerSize, kSignatureDigestSize) == 0;
    return same ? SelfCheckResult::kIntact : SelfCheckResult::kChanged;
}

bool SignProgramFile(const std::filesystem::path& file, std::string& error) {
    std::error_code ec;
    std::uint64_t size = std::filesystem::file_size(file, ec);
    if (ec) {
        error = "cannot read the size of " + file.string() + ": " + ec.message();
        return false;
    }
    {
        std::ifstream in(file, std::ios::binary);
        std::array<char, kSignatureRecordSize> tail{};
        if (in && ReadTail(in, size, tail)) {
            size -= kSignatureRecordSize;  // signed before: replace the record
        }
    }
    std::filesystem::resize_file(file, size, ec);
    if (ec) {
        error = "cannot drop the old record of " + file.string() + ": " + ec.message();
        return false;
    }
    Str255 digest;
    {
        std::ifstream in(file, std::ios::binary);
        if (!in || !DigestPrefix(in, size, {}, digest)) {
            error = "cannot read " + file.string();
            return false;
        }
    }
    std::ofstream out(file, std::ios::binary | std::ios::app);
    out.write(kSignatureMarker.data(), kSignatureMarkerSize);
    out.write(reinterpret_cast<const char*>(digest.data()), kSignatureDigestSize);
    out.close();
    if (!out) {
        error = "cannot append the signature record to " + file.string();
        return false;
    }
    return true;
}

}  // namespace tazu
