// A run of the writer with a recording host and a seeded generator.
#pragma once

#include <gtest/gtest.h>

#include "cipher/random.h"
#include "encrypt/encrypt_object.h"
#include "tests/encrypt/support.h"

namespace tazu::test {

class WriterTest : public ::testing::Test {
  protected:
    bool Run(const std::filesystem::path& source, EncryptMode mode,
             const EncryptObjectOptions& options = {}) {
        code = EncryptCode::kOk;
        return EncryptObject(password, personal_code, key_mark, archive, source, use_personal_code,
                             mode, code, ctx, options);
    }
    // Reads the archive at archive (after skip bytes of stub); fails the
    // test when anything does not check.
    ReadArchive Read(std::size_t skip = 0) {
        ReadArchive out;
        const std::string error =
            ReadWholeArchive(ReadFile(archive), skip, password, personal_code, out);
        EXPECT_EQ(error, "");
        return out;
    }

    TempDir dir;
    std::filesystem::path archive = dir / "out.shf";
    Str255 password{"пароль \x01\xff"};
    Str255 personal_code{std::string(200, '\x5a')};
    Str255 key_mark{"mark-of-the-store"};
    bool use_personal_code = false;
    EncryptCode code = EncryptCode::kOk;
    RecordingEncryptHost host;
    EncryptRunState state;
    SeededRandom random{42};
    EncryptContext ctx{state, host, random};
};

}  // namespace tazu::test
