// The driver: the stub, refusals, cancelling and failed writes, and what is
// left on disk after each.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "encrypt/encrypt_messages.h"
#include "encrypt/stub_copy.h"
#include "format/format.h"
#include "tests/encrypt/fixture.h"

namespace tazu::test {
namespace {

namespace fs = std::filesystem;

class StubTest : public WriterTest, public ::testing::WithParamInterface<std::size_t> {};

TEST_P(StubTest, StubBytesComeFirstUnchanged) {
    std::string stub(GetParam(), '\0');
    for (std::size_t i = 0; i < stub.size(); ++i)
        stub[i] = static_cast<char>(i * 7);
    WriteFile(dir / "stub", stub);
    WriteFile(dir / "a.txt", "hello");
    EncryptObjectOptions options;
    options.self_decrypting = true;
    options.stub_path = dir / "stub";
    ASSERT_TRUE(Run(dir / "a.txt", EncryptMode::kSingleFile, options));
    const std::string bytes = ReadFile(archive);
    EXPECT_EQ(bytes.substr(0, stub.size()), stub);
    EXPECT_EQ(bytes.substr(stub.size(), 14), "Tazu16x32.07.0");
    EXPECT_EQ(Read(stub.size()).entries.at(0).data, "hello");
    EXPECT_NE(fs::status(archive).permissions() & fs::perms::owner_exec, fs::perms::none);
    const std::vector<std::string> status{"show", "caption Статус:", "text Чтение/Запись", "hide"};
    EXPECT_EQ(host.status, status);
    // 0 first, then one step per 1024-byte chunk.
    EXPECT_EQ(host.progress.size(), 1 + (stub.size() + 1023) / 1024);
}

INSTANTIATE_TEST_SUITE_P(Sizes, StubTest, ::testing::Values(0, 1024, 1025));

TEST_F(WriterTest, StubProgressIsScaledTo600KiB) {
    WriteFile(dir / "stub", std::string(614400 + 3000, 's'));
    fs::create_directories(dir / "empty");
    EncryptObjectOptions options{true, dir / "stub", {}};
    ASSERT_TRUE(Run(dir / "empty", EncryptMode::kFolder, options));
    EXPECT_EQ(host.progress[1], 0);  // 1024 * 100 / 614400
    EXPECT_EQ(host.progress[7], 1);  // 7168 * 100 / 614400
    EXPECT_EQ(host.progress.back(), 100);
    EXPECT_EQ(ReadFile(archive).back(), '\xff');
}

TEST_F(WriterTest, MissingStubFailsWith11AndSwitchesTheOptionOff) {
    WriteFile(dir / "a", "a");
    WriteFile(archive, "previous");
    EncryptObjectOptions options{true, dir / "no-stub", {}};
    EXPECT_FALSE(Run(dir / "a", EncryptMode::kSingleFile, options));
    EXPECT_EQ(code, EncryptCode::kStubMissing);
    EXPECT_TRUE(host.self_decrypting_off);
    EXPECT_EQ(ReadFile(archive), "previous");
}

struct RefusalCase {
    const char* what;
    Str255 password, personal_code, key_mark;
};

class RefusalTest : public WriterTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(RefusalTest, BadArgumentsAreRefusedBeforeAnythingIsCreated) {
    password = GetParam().password;
    personal_code = GetParam().personal_code;
    key_mark = GetParam().key_mark;
    use_personal_code = true;
    WriteFile(dir / "a", "a");
    EXPECT_FALSE(Run(dir / "a", EncryptMode::kSingleFile));
    EXPECT_EQ(code, EncryptCode::kBadArgument);
    EXPECT_EQ(FolderNames(dir.path()), std::vector<std::string>{"a"});
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, RefusalTest,
    ::testing::Values(RefusalCase{"password", Str255(), Str255("pc"), Str255("km")},
                      RefusalCase{"personal_code", Str255("pw"), Str255(), Str255("km")},
                      RefusalCase{"key_mark", Str255("pw"), Str255("pc"), Str255()},
                      RefusalCase{"long_key_mark", Str255("pw"), Str255("pc"),
                                  Str255(std::string(129, 'k'))}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(WriterTest, AFileNameTheReaderWouldRefuseIsRefusedWithItsReason) {
#ifdef _WIN32
    GTEST_SKIP() << "a colon makes a stream name on Windows, not part of a file's name";
#endif
    WriteFile(dir / "c:notes.txt", "notes");
    EXPECT_FALSE(Run(dir / "c:notes.txt", EncryptMode::kSingleFile));
    EXPECT_EQ(code, EncryptCode::kBadName);
    EXPECT_FALSE(fs::exists(archive));
    // The window's message: the code's text, then the file and why.
    EXPECT_EQ(EncryptOutcomeMessage(false, code, dir / "c:notes.txt"),
              "Внутренняя ошибка целостности параметров\nИмя \"c:notes.txt\" (файл " +
                  (dir / "c:notes.txt").string() +
                  ") нельзя сохранить в зашифрованном файле: имя начинается с буквы диска");
}

TEST_F(WriterTest, ArchivePathNamingTheSourceIsRefused) {
    WriteFile(dir / "a.shf", "precious");
    archive = dir / "a.shf";
    EXPECT_FALSE(Run(dir / "a.shf", EncryptMode::kSingleFile));
    EXPECT_EQ(code, EncryptCode::kBadArgument);
    fs::create_symlink(dir / "a.shf", dir / "alias.shf");
    archive = dir / "alias.shf";
    EXPECT_FALSE(Run(dir / "a.shf", EncryptMode::kSingleFile));
    EXPECT_EQ(code, EncryptCode::kBadArgument);
    EXPECT_EQ(ReadFile(dir / "a.shf"), "precious");
}

TEST_F(WriterTest, UnreadableSingleFileFailsWith4AndLeavesNoArchive) {
    EXPECT_FALSE(Run(dir / "missing.txt", EncryptMode::kSingleFile));
    EXPECT_EQ(code, EncryptCode::kSourceUnreadable);
    EXPECT_EQ(host.report, std::vector<std::string>{"-) Файл: " + (dir / "missing.txt").string() +
                                                    "- пропущен, ошибка чтения."});
    EXPECT_TRUE(FolderNames(dir.path()).empty());
}

// Cancelling: code 3, no archive, the file at the archive path as it was.
class CancelTest : public WriterTest {
  protected:
    void SetUp() override {
        fs::create_directories(dir / "src");
        WriteFile(dir / "src" / "1", std::string(5000, 'a'));
        WriteFile(dir / "src" / "2", std::string(5000, 'b'));
        WriteFile(archive, "old archive");
    }
    void ExpectCancelled() {
        EXPECT_EQ(code, EncryptCode::kCancelled);
        EXPECT_TRUE(state.EncryptCancelled);
        EXPECT_EQ(ReadFile(archive), "old archive");
        EXPECT_EQ(FolderNames(dir.path()).size(), 2u);  // src and the old archive
    }
};

TEST_F(CancelTest, DuringAFile) {
    state.EncryptBlocksPerUpdate = -1000;  // an update after every block
    host.on_events = [&] { state.EncryptCancelled = host.events >= 3; };
    EXPECT_FALSE(Run(dir / "src" / "1", EncryptMode::kSingleFile));
    ExpectCancelled();
    EXPECT_LE(host.bytes, 4 * 245);
}

TEST_F(CancelTest, BetweenFiles) {
    host.on_file = [&] { state.EncryptCancelled = true; };
    EXPECT_FALSE(Run(dir / "src", EncryptMode::kFolder));
    ExpectCancelled();
    EXPECT_EQ(host.files, 1);
}

// Passes the first limit bytes on, then fails every write.
class FailAfter : public OutputStream {
  public:
    FailAfter(OutputStream& out, std::size_t limit) : out_(out), left_(limit) {}
    bool Write(const std::uint8_t* data, std::size_t count) override {
        if (count > left_) {
            out_.Write(data, left_);
            left_ = 0;
            return false;
        }
        left_ -= count;
        return out_.Write(data, count);
    }
    bool Flush() override { return out_.Flush(); }

  private:
    OutputStream& out_;
    std::size_t left_;
};

class WriteFailureTest : public WriterTest,
                         public ::testing::WithParamInterface<std::tuple<std::size_t, bool>> {};

TEST_P(WriteFailureTest, AnyFailedWriteGives2AndLeavesNothing) {
    const auto [given, folder] = GetParam();
    const std::size_t limit = folder ? given : std::min<std::size_t>(given, 2848);
    fs::create_directories(dir / "src");
    WriteFile(dir / "src" / "1", std::string(1000, 'a'));
    WriteFile(dir / "src" / "2", std::string(10, 'b'));
    WriteFile(archive, "old archive");
    EncryptObjectOptions options;
    options.wrap_archive = [limit = limit](OutputStream& file) {
        return std::make_unique<FailAfter>(file, limit);
    };
    EXPECT_FALSE(Run(folder ? dir / "src" : dir / "src" / "1",
                     folder ? EncryptMode::kFolder : EncryptMode::kSingleFile, options));
    EXPECT_EQ(code, EncryptCode::kWriteFailed);
    EXPECT_EQ(ReadFile(archive), "old archive");
    EXPECT_EQ(FolderNames(dir.path()).size(), 2u);
}

// Limits inside the marker, a header record, a name record, a data block,
// the end record, the second entry and the trailer.
INSTANTIATE_TEST_SUITE_P(Limits, WriteFailureTest,
                         ::testing::Combine(::testing::Values(0, 10, 300, 700, 1000, 2000, 2850 - 4,
                                                              2850 - 2, 2847 + 1800),
                                            ::testing::Bool()));

TEST_F(WriterTest, ArchiveInAMissingFolderFailsWith2) {
    WriteFile(dir / "a", "a");
    archive = dir / "no" / "such" / "x.shf";
    EXPECT_FALSE(Run(dir / "a", EncryptMode::kSingleFile));
    EXPECT_EQ(code, EncryptCode::kWriteFailed);
}

TEST(EntryChainTest, TurnsIntoItsDigestEvery126Entries) {
    Str255 chain;
    const Str255 salt("0123456789");
    const Str255 key("key");
    for (int file = 1; file <= 253; ++file) {
        AppendToEntryChain(chain, salt, key);
        const std::size_t expected = file == 127 || file == 253 ? 2
                                     : file < 127               ? 2 * file
                                                                : 2 * (file - 126);
        ASSERT_EQ(chain.size(), expected) << file;
    }
}

}  // namespace
}  // namespace tazu::test
