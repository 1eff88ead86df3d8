// Where the self-decrypting stub is found: beside the program first, then in
// the private folder relative to it, so a moved install still finds it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "encrypt/stub_copy.h"
#include "program/process.h"
#include "tests/support/test_files.h"

namespace tazu::test {
namespace {

// Each system's stub by the same rule: the running system's by default,
// the other one's (encrypt --sfx --for) by its own name.
class StubPath : public ::testing::TestWithParam<std::string_view> {};

TEST_P(StubPath, BesideTheProgramFirstThenThePrivateFolder) {
    const std::string name(GetParam());
    test::TempDir dir;
    const std::filesystem::path bin = (dir.path() / "prefix/bin").lexically_normal();
    const std::filesystem::path lib = (dir.path() / "prefix/lib/tazu16x32").lexically_normal();
    std::filesystem::create_directories(bin);
    std::filesystem::create_directories(lib);
    EXPECT_EQ(StubPathFor(bin, name), bin / name);  // neither: beside the program

    std::ofstream(lib / name) << "installed";
    EXPECT_EQ(StubPathFor(bin, name), lib / name);
    // The other system's stub is no stand-in.
    const std::string other(name == kStubFileName ? kWindowsStubFileName : kStubFileName);
    EXPECT_EQ(StubPathFor(bin, other), bin / other);

    std::ofstream(bin / name) << "beside";
    EXPECT_EQ(StubPathFor(bin, name), bin / name);
}

INSTANTIATE_TEST_SUITE_P(Systems, StubPath, ::testing::Values(kStubFileName, kWindowsStubFileName));

TEST(StubPathDefault, IsTheRunningSystemsStub) {
    EXPECT_EQ(StubPathFor("folder"), StubPathFor("folder", OwnStubFileName()));
    EXPECT_EQ(DefaultStubPath().filename(), std::filesystem::path(OwnStubFileName()));
}

}  // namespace
}  // namespace tazu::test
