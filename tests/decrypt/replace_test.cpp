// Files written beside their final name: the temporary file is named after
// its target, a replacement keeps what the replaced file was, and a
// leftover of a run that is gone is removed, nothing else.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "encrypt/encrypt_object.h"
#include "io/temporary_file.h"
#include "tests/decrypt/decrypt_fixture.h"
#include "tests/support/quiet_encrypt_host.h"

namespace tazu::test {
namespace {

namespace fs = std::filesystem;

mode_t ModeOf(const fs::path& path) {
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

mode_t NewFileMode(mode_t requested) {
    const mode_t umask = ::umask(0);
    ::umask(umask);
    return requested & ~umask;
}

// A pid that no process has: one of a child that has ended.
pid_t EndedProcess() {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::_exit(0);
    }
    ::waitpid(pid, nullptr, 0);
    return pid;
}

TEST(TemporaryName, IsNamedAfterItsTargetAndFitsANameOfAnyLength) {
    const std::string pid = std::to_string(::getpid());
    const std::string name = TemporaryFileName("report.pdf");
    EXPECT_EQ(name.rfind("report.pdf.tazu16x32-" + pid + "-", 0), 0u) << name;
    EXPECT_EQ(TemporaryFileWriter(name), ::getpid());
    EXPECT_NE(TemporaryFileName("report.pdf"), name);

    // 254 bytes of two-byte letters after one 'a': cut to fit, between letters.
    std::string longest = "a";
    for (int i = 0; i < 127; ++i) {
        longest += "\xD0\xB6";
    }
    const std::string cut = TemporaryFileName(longest);
    EXPECT_LE(cut.size(), 255u);
    const std::size_t kept = cut.find(".tazu16x32-");
    EXPECT_EQ(cut.substr(0, kept), longest.substr(0, kept));
    EXPECT_EQ(kept % 2, 1u);  // 'a' and whole letters only
    EXPECT_EQ(TemporaryFileWriter(cut), ::getpid());
}

TEST(TemporaryName, OnlyTheProgramsOwnPatternIsRecognised) {
    EXPECT_EQ(TemporaryFileWriter("a.tazu16x32-12-0.part"), 12);
    EXPECT_EQ(TemporaryFileWriter("a.tazu16x32-x.tazu16x32-7-3.part"), 7);
    for (const char* other : {"a.part", "a.tazu16x32-12-0.partial", "a.tazu16x32-12.part",
                              ".tazu16x32-12-0.part", "a.tazu16x32--0.part", "a.tazu16x32-0-0.part",
                              "a.tazu16x32-1x-0.part", "a.part-1234", "a.tazu16x32-12-0.part~"}) {
        EXPECT_FALSE(TemporaryFileWriter(other)) << other;
    }
}

TEST(Leftovers, OnlyThoseWhoseWriterIsGoneAreRemoved) {
    TempDir dir;
    const std::string gone = std::to_string(EndedProcess());
    const std::string dead = "a.shf.tazu16x32-" + gone + "-0.part";
    const std::string locked = "b.shf.tazu16x32-" + gone + "-1.part";
    const std::string live = "c.shf.tazu16x32-1-0.part";  // init always runs
    const std::string own = TemporaryFileName("d.shf");
    const std::string folder = "e.shf.tazu16x32-" + gone + "-2.part";
    const std::string link = "f.shf.tazu16x32-" + gone + "-3.part";
    const std::string unrelated = "g.shf.part-" + gone;
    for (const std::string& name : {dead, locked, live, own, unrelated}) {
        WriteFile(dir / name, "partial");
    }
    fs::create_directory(dir / folder);
    fs::create_symlink(dir / unrelated, dir / link);
    // A writer in another pid namespace: its pid means nothing here, but
    // it holds the lock.
    const int holder = ::open((dir / locked).c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);

    const int folder_fd = ::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    EXPECT_EQ(RemoveStaleTemporaryFiles(folder_fd), 1);
    ::close(folder_fd);
    ::close(holder);
    EXPECT_FALSE(fs::exists(dir / dead));
    for (const std::string& name : {locked, live, own, folder, link, unrelated}) {
        EXPECT_TRUE(fs::exists(fs::symlink_status(dir / name))) << name;
    }
}

class Replacing : public DecryptFixture {
  protected:
    bool Encrypt(const fs::path& archive, bool sfx = false) {
        WriteFile(dir / "source.txt", "source");
        EncryptRunState state;
        QuietEncryptHost quiet;
        SeededRandom random(5);
        EncryptCode code = EncryptCode::kOk;
        EncryptObjectOptions options;
        options.self_decrypting = sfx;
        options.stub_path = dir / "stub";
        WriteFile(options.stub_path, "stub");
        return EncryptObject(Password(), StoreA().personal_code, StoreA().key_mark, archive,
                             dir / "source.txt", false, EncryptMode::kSingleFile, code,
                             {state, quiet, random}, options);
    }
};

// A file of this user's keeps its mode (within the umask); another user's
// file hands neither its owner nor its mode on (as root: a file that
// belonged to someone else becomes root's, with a new file's mode).
TEST_F(Replacing, AnExtractedFileKeepsTheModeOfTheUsersOwnFileOnly) {
    WriteFile(dest() / "a", "old");
    fs::permissions(dest() / "a", fs::perms(0640));
    WriteFile(dest() / "c", "old");
    fs::permissions(dest() / "c", fs::perms(0604));  // "others" may read: a 027 umask says not
    const bool root = ::geteuid() == 0;
    if (root) {
        WriteFile(dest() / "d", "old");
        fs::permissions(dest() / "d", fs::perms(0664));
        ASSERT_EQ(::chown((dest() / "d").c_str(), 4321, 4322), 0);
    }
    SeededRandom random(3);
    const std::string archive = WriteArchive(
        7, Password(), {{"a", "new"}, {"b", "new"}, {"c", "new"}, {"d", "new"}}, random);
    const mode_t umask = ::umask(027);
    EXPECT_EQ(Run(archive), DecryptCode::kEndOfData);
    ::umask(umask);
    EXPECT_EQ(ReadFile(dest() / "a"), "new");
    EXPECT_EQ(ModeOf(dest() / "a"), 0640u);
    EXPECT_EQ(ModeOf(dest() / "b"), 0640u);
    EXPECT_EQ(ModeOf(dest() / "c"), 0600u);
    if (root) {
        struct stat st {};
        ASSERT_EQ(::stat((dest() / "d").c_str(), &st), 0);
        EXPECT_EQ(st.st_uid, 0u);
        EXPECT_EQ(st.st_gid, ::getegid());
        EXPECT_EQ(ModeOf(dest() / "d"), 0640u);
    }
}

TEST_F(Replacing, AnArchiveKeepsTheReplacedFilesMode) {
    WriteFile(dir / "kept.shf", "old archive");
    fs::permissions(dir / "kept.shf", fs::perms(0600));
    ASSERT_TRUE(Encrypt(dir / "kept.shf"));
    EXPECT_EQ(ModeOf(dir / "kept.shf"), 0600u);
    EXPECT_NE(ReadFile(dir / "kept.shf"), "old archive");

    ASSERT_TRUE(Encrypt(dir / "new.shf"));
    EXPECT_EQ(ModeOf(dir / "new.shf"), NewFileMode(0666));

    // A self-decrypting file stays runnable by whoever could read the old one.
    WriteFile(dir / "tool.exe", "old");
    fs::permissions(dir / "tool.exe", fs::perms(0640));
    ASSERT_TRUE(Encrypt(dir / "tool.exe", true));
    EXPECT_EQ(ModeOf(dir / "tool.exe"), 0750u);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"kept.shf", "new.shf", "out", "source.txt", "stub",
                                               "tool.exe", "x"}));
}

}  // namespace
}  // namespace tazu::test
