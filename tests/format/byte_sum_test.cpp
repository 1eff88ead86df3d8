// The byte sum signs every entry's end record: the fast sum must equal the
// plain one for every length and value, wrap-around included.
#include <gtest/gtest.h>

#include <vector>

#include "cipher/random.h"
#include "format/format.h"

namespace tazu::test {
namespace {

TEST(ByteSum, EqualsThePlainSumForEveryLength) {
    SeededRandom random(3);
    std::vector<std::uint8_t> bytes(300);
    for (std::size_t len = 0; len <= bytes.size(); ++len) {
        random.Bytes(bytes.data(), len);
        for (std::uint32_t start : {0u, 0x7FFFFF00u, 0xFFFFFFF0u}) {
            std::uint32_t plain = start;
            for (std::size_t i = 0; i < len; ++i) {
                plain += bytes[i];
            }
            std::uint32_t fast = start;
            AddToByteSum(fast, bytes.data(), len);
            ASSERT_EQ(fast, plain) << len;
        }
    }
    // The signed text once the sum has passed 2^31 - 1.
    std::uint32_t sum = 0x7FFFFFFFu;
    const std::uint8_t one = 1;
    AddToByteSum(sum, &one, 1);
    EXPECT_EQ(ByteSumText(sum).str(), "-2147483648");
}

}  // namespace
}  // namespace tazu::test
