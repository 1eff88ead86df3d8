// Where a Windows stub's image ends: the end of its last section's raw
// data, of its symbol and string tables, or of its certificate table when
// it is signed; anything that is not a whole PE image has no end.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "stub/pe_image.h"
#include "tests/support/test_files.h"

namespace tazu::test {
namespace {

constexpr std::size_t kPeAt = 0x80;
constexpr std::size_t kOptionalSize = 240;  // PE32+ with 16 data directories
constexpr std::size_t kSections = kPeAt + 4 + 20 + kOptionalSize;

void Put(std::string& image, std::size_t at, std::uint64_t value, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        image[at + i] = static_cast<char>(value >> (8 * i));
    }
}

// A PE32+ image with sections of raw data at the given (offset, size)
// pairs, size bytes long.
std::string Image(std::size_t size, std::vector<std::pair<std::uint32_t, std::uint32_t>> raw) {
    std::string image(size, '\0');
    image[0] = 'M';
    image[1] = 'Z';
    Put(image, 0x3C, kPeAt, 4);
    std::memcpy(&image[kPeAt], "PE\0\0", 4);
    Put(image, kPeAt + 4 + 2, raw.size(), 2);
    Put(image, kPeAt + 4 + 16, kOptionalSize, 2);
    Put(image, kPeAt + 24, 0x20B, 2);
    Put(image, kPeAt + 24 + 108, 16, 4);  // NumberOfRvaAndSizes
    for (std::size_t i = 0; i < raw.size(); ++i) {
        Put(image, kSections + i * 40 + 16, raw[i].second, 4);
        Put(image, kSections + i * 40 + 20, raw[i].first, 4);
    }
    return image;
}

std::optional<std::uint64_t> End(const std::string& image) {
    const ReadAt read_at = [&](std::uint64_t offset, std::uint8_t* out, std::size_t n) {
        if (offset > image.size() || n > image.size() - offset) {
            return false;
        }
        std::memcpy(out, image.data() + offset, n);
        return true;
    };
    return PeImageEnd(read_at, image.size());
}

TEST(PeImage, EndsAfterTheLastSectionsRawDataWhereverItLiesInTheTable) {
    const std::string image = Image(0x3000, {{0x400, 0x1000}, {0x2000, 0x800}, {0x1400, 0x200}});
    EXPECT_EQ(End(image), 0x2800u);
    // An archive behind the image is not part of it.
    EXPECT_EQ(End(image + std::string(5000, 'T')), 0x2800u);
}

TEST(PeImage, ASignedImageEndsAfterItsCertificateTable) {
    std::string image = Image(0x4000, {{0x400, 0x1000}});
    const std::size_t security = kPeAt + 24 + 112 + 4 * 8;
    Put(image, security, 0x1400, 4);
    Put(image, security + 4, 0x900, 4);
    EXPECT_EQ(End(image), 0x1D00u);
}

TEST(PeImage, AnUnstrippedImageKeepsItsSymbolAndStringTables) {
    std::string image = Image(0x4000, {{0x400, 0x1000}});
    Put(image, kPeAt + 4 + 8, 0x1400, 4);  // PointerToSymbolTable
    Put(image, kPeAt + 4 + 12, 10, 4);     // 10 symbols of 18 bytes
    Put(image, 0x1400 + 180, 0x40, 4);     // the string table's size
    EXPECT_EQ(End(image), 0x1400u + 180 + 0x40);
}

TEST(PeImage, WhatIsNoWholeImageHasNoEnd) {
    const std::string image = Image(0x3000, {{0x400, 0x1000}});
    EXPECT_FALSE(End(""));
    EXPECT_FALSE(End(image.substr(0, 0x1000)));  // cut inside the section data
    EXPECT_FALSE(End(image.substr(0, 0x100)));   // cut inside the headers
    std::string not_pe = image;
    not_pe[kPeAt] = 'X';
    EXPECT_FALSE(End(not_pe));
    std::string elf = image;
    std::memcpy(&elf[0],
                "\x7f"
                "ELF",
                4);
    EXPECT_FALSE(End(elf));
    std::string far = image;
    Put(far, 0x3C, 0xFFFFFFF0u, 4);
    EXPECT_FALSE(End(far));
    std::string huge = image;
    Put(huge, kSections + 16, 0xFFFFFFFFu, 4);
    EXPECT_FALSE(End(huge));
}

#ifdef TAZU_WINDOWS_STUB_PATH
TEST(PeImage, TheBuiltWindowsStubIsOneSmallWholeImage) {
    const std::string stub = ReadFile(TAZU_WINDOWS_STUB_PATH);
    ASSERT_GT(stub.size(), 0u);
    EXPECT_LE(stub.size(), 614400u);  // it travels in front of every self-decrypting file
    EXPECT_EQ(End(stub), stub.size());
    EXPECT_EQ(PeImageEnd(std::filesystem::path(TAZU_WINDOWS_STUB_PATH)), stub.size());
}
#endif

}  // namespace
}  // namespace tazu::test
