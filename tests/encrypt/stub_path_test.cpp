// Where the self-decrypting stub is found: beside the program first, then in
// the private folder relative to it, so a moved install still finds it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "encrypt/stub_copy.h"
#include "tests/support/test_files.h"

namespace tazu::test {
namespace {

TEST(StubPath, BesideTheProgramFirstThenThePrivateFolder) {
    test::TempDir dir;
    const std::filesystem::path bin = dir.path() / "prefix/bin";
    const std::filesystem::path lib = dir.path() / "prefix/lib/tazu16x32";
    std::filesystem::create_directories(bin);
    std::filesystem::create_directories(lib);
    EXPECT_EQ(StubPathFor(bin), bin / "Tazu16x32.SFX");  // neither: the designed place

    std::ofstream(lib / "Tazu16x32.SFX") << "installed";
    EXPECT_EQ(StubPathFor(bin), lib / "Tazu16x32.SFX");

    std::ofstream(bin / "Tazu16x32.SFX") << "beside";
    EXPECT_EQ(StubPathFor(bin), bin / "Tazu16x32.SFX");
}

}  // namespace
}  // namespace tazu::test
