// Archives of every version made once with a fixed generator and kept under
// tests/data, so that a change of the reader is caught even when a writer
// changes with it. Run with TAZU_WRITE_GOLDEN=1 to make them again.
#include <cstdlib>

#include "tests/decrypt/decrypt_fixture.h"

namespace tazu::test {
namespace {

std::vector<StoredFile> GoldenFiles(int version) {
    return {{"\\G\\a.txt", Pattern(300, version)},
            {"\\G\\Sub\\b", "golden " + std::to_string(version), version == 7}};
}

std::filesystem::path GoldenPath(int version) {
    return std::filesystem::path(TAZU_TEST_DATA_DIR) /
           ("golden-0" + std::to_string(version) + ".shf");
}

class Golden : public DecryptFixture, public ::testing::WithParamInterface<int> {};

TEST_P(Golden, OpensToTheKnownFiles) {
    const int version = GetParam();
    if (std::getenv("TAZU_WRITE_GOLDEN") != nullptr) {
        SeededRandom random(1000 + static_cast<std::uint64_t>(version));
        WriteFile(GoldenPath(version),
                  WriteArchive(version, Password(), GoldenFiles(version), random));
    }
    ASSERT_TRUE(std::filesystem::exists(GoldenPath(version)));
    EXPECT_EQ(Run(ReadFile(GoldenPath(version))), DecryptCode::kEndOfData);
    EXPECT_EQ(Output(), (Files{{"G/Sub/b", "golden " + std::to_string(version)},
                               {"G/a.txt", Pattern(300, version)}}));
    EXPECT_TRUE(host.report.empty());
}

INSTANTIATE_TEST_SUITE_P(Versions, Golden, ::testing::Range(0, 8));

}  // namespace
}  // namespace tazu::test
