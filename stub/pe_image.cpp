#include "stub/pe_image.h"

#include <algorithm>

#include "io/file_io.h"
#include "io/native.h"

namespace tazu {
namespace {

constexpr std::uint64_t kNewHeaderPointer = 0x3C;  // e_lfanew in the DOS header
constexpr std::uint64_t kCoffHeaderSize = 20;
constexpr std::uint64_t kSectionHeaderSize = 40;
constexpr std::uint64_t kSymbolSize = 18;
constexpr std::uint32_t kSecurityDirectory = 4;
constexpr std::uint16_t kMagicPe32 = 0x10B;
constexpr std::uint16_t kMagicPe32Plus = 0x20B;

// Little-endian values at an offset of the file.
class Bytes {
  public:
    Bytes(const ReadAt& read_at, std::uint64_t size) : read_at_(read_at), size_(size) {}
    bool Read(std::uint64_t offset, std::size_t n, std::uint64_t& value) {
        if (offset > size_ || n > size_ - offset) {
            return false;
        }
        std::uint8_t b[8] = {};
        if (n > sizeof b || !read_at_(offset, b, n)) {
            return false;
        }
        value = 0;
        for (std::size_t i = n; i > 0; --i) {
            value = (value << 8) | b[i - 1];
        }
        return true;
    }

  private:
    const ReadAt& read_at_;
    std::uint64_t size_;
};

}  // namespace

std::optional<std::uint64_t> PeImageEnd(const ReadAt& read_at, std::uint64_t size) {
    Bytes bytes(read_at, size);
    std::uint64_t mz = 0, pe_offset = 0, signature = 0;
    if (!bytes.Read(0, 2, mz) || mz != 0x5A4D || !bytes.Read(kNewHeaderPointer, 4, pe_offset) ||
        !bytes.Read(pe_offset, 4, signature) || signature != 0x00004550) {
        return std::nullopt;
    }
    const std::uint64_t coff = pe_offset + 4;
    std::uint64_t sections = 0, symbols_at = 0, symbols = 0, optional_size = 0, magic = 0;
    if (!bytes.Read(coff + 2, 2, sections) || !bytes.Read(coff + 8, 4, symbols_at) ||
        !bytes.Read(coff + 12, 4, symbols) || !bytes.Read(coff + 16, 2, optional_size) ||
        !bytes.Read(coff + kCoffHeaderSize, 2, magic)) {
        return std::nullopt;
    }
    const std::uint64_t optional_header = coff + kCoffHeaderSize;
    const std::uint64_t section_table = optional_header + optional_size;
    std::uint64_t end = section_table + sections * kSectionHeaderSize;
    for (std::uint64_t i = 0; i < sections; ++i) {
        std::uint64_t raw_size = 0, raw_at = 0;
        const std::uint64_t header = section_table + i * kSectionHeaderSize;
        if (!bytes.Read(header + 16, 4, raw_size) || !bytes.Read(header + 20, 4, raw_at)) {
            return std::nullopt;
        }
        if (raw_size > 0) {
            end = std::max(end, raw_at + raw_size);
        }
    }
    if (symbols_at != 0) {
        // The string table follows the symbols; its first 4 bytes are its size.
        const std::uint64_t strings = symbols_at + symbols * kSymbolSize;
        std::uint64_t strings_size = 0;
        if (!bytes.Read(strings, 4, strings_size)) {
            return std::nullopt;
        }
        end = std::max(end, strings + strings_size);
    }
    // The data directories: after 96 bytes of a PE32 optional header, after
    // 112 of a PE32+ one, each 8 bytes. The certificate table's "address" is
    // a file offset, not an address in memory.
    const std::uint64_t directories_at = magic == kMagicPe32Plus ? 112 : 96;
    if (magic != kMagicPe32 && magic != kMagicPe32Plus) {
        return std::nullopt;
    }
    std::uint64_t count = 0;
    if (!bytes.Read(optional_header + directories_at - 4, 4, count)) {
        return std::nullopt;
    }
    if (count > kSecurityDirectory &&
        directories_at + (kSecurityDirectory + 1) * 8 <= optional_size) {
        std::uint64_t at = 0, certificates = 0;
        const std::uint64_t entry = optional_header + directories_at + kSecurityDirectory * 8;
        if (!bytes.Read(entry, 4, at) || !bytes.Read(entry + 4, 4, certificates)) {
            return std::nullopt;
        }
        if (certificates > 0) {
            end = std::max(end, at + certificates);
        }
    }
    if (end > size) {
        return std::nullopt;
    }
    return end;
}

std::optional<std::uint64_t> PeImageEnd(const Path& path) {
    std::uint64_t size = 0;
    const int fd = OpenRegularFile(path, &size);
    if (fd < 0) {
        return std::nullopt;
    }
    const auto read_at = [fd](std::uint64_t offset, std::uint8_t* out, std::size_t n) {
        return SeekFile(fd, offset) && ReadFully(fd, out, n).count == n;
    };
    const std::optional<std::uint64_t> end = PeImageEnd(read_at, size);
    CloseFile(fd);
    return end;
}

}  // namespace tazu
