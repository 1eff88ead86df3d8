// Shared setup of the reader tests: an archive written to a file beside a
// destination folder, a run over it, and what the run left behind.
#pragma once

#include <gtest/gtest.h>

#include "decrypt/decrypt_object.h"
#include "tests/support/archive_writers.h"
#include "tests/support/test_files.h"

namespace tazu::test {

inline const Str255& Password() {
    static const Str255 password("correct horse");
    return password;
}

class DecryptFixture : public ::testing::Test {
  protected:
    DecryptFixture() {
        std::filesystem::create_directories(dest());
        WriteFile(sentinel(), "sentinel");
        host.abort_target = &state;
    }
    ~DecryptFixture() override { EXPECT_EQ(ReadFile(sentinel()), "sentinel"); }

    std::filesystem::path dest() const { return dir / "out"; }
    std::filesystem::path archive() const { return dir / "archive.shf"; }
    // Beside the destination: nothing may ever reach it.
    std::filesystem::path sentinel() const { return dir / "x"; }

    DecryptCode Run(const std::string& bytes, const TestKeyStore& store = StoreA(),
                    const Str255& password = Password(), bool write = true) {
        WriteFile(archive(), bytes);
        DecryptCode code = DecryptCode::kOk;
        DecryptObject(password, store.personal_code, store.key_mark, archive(), dest(), host, state,
                      code, write);
        return code;
    }
    std::vector<std::pair<std::string, std::string>> Output() const { return ListTree(dest()); }

    TempDir dir;
    RecordingHost host;
    DecryptRunState state;
};

using Files = std::vector<std::pair<std::string, std::string>>;

inline std::string Pattern(std::size_t size, int seed) {
    std::string s(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        s[i] = static_cast<char>((i * 131 + seed * 17 + (i >> 8)) & 0xFF);
    }
    return s;
}

}  // namespace tazu::test
