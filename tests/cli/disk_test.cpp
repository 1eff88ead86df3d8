// What the command line leaves on the disk: an output that may become the
// only copy of its data is synced before its rename and its folder after
// it (seen in a system-call trace); a file written belongs to the user who
// ran the program, with no more access than the umask gives; and another
// user's link in a shared folder is never followed.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <vector>

#include "tests/cli/cli_run.h"

namespace tazu::test {
namespace {

namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;
// Runs what follows as the user nobody (from root).
constexpr const char* kAsNobody = "setpriv --reuid=nobody --regid=nogroup --clear-groups ";

struct Owner {
    uid_t uid = 0;
    mode_t mode = 0;
};

Owner OwnerOf(const fs::path& path) {
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return {st.st_uid, static_cast<mode_t>(st.st_mode & 07777)};
}

std::vector<std::string> Lines(const fs::path& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

class DiskTest : public CliTest {
  protected:
    // A command line run under strace, which lists its syncs and renames
    // with the paths of the descriptors (-y) in dir/trace.
    CliResult Traced(const std::string& args, const std::string& input = "") {
        fs::remove(dir / "trace");
        // The leak check of a sanitizer build cannot work under ptrace.
        return Shell(
            "ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 strace -f -y -qq "
            "-e trace=fsync,fdatasync,rename,renameat,renameat2 -o trace TAZU " +
                args,
            input);
    }

    // Checks the trace: the temporary file of folder/name is synced, then
    // renamed to name, then the folder is synced.
    void ExpectSyncedRename(const fs::path& folder, const std::string& name) {
        const std::string where = fs::canonical(folder).native();
        const std::vector<std::string> lines = Lines(dir / "trace");
        std::size_t rename = lines.size();
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].find("rename") != std::string::npos &&
                lines[i].find(", \"" + name + "\")") != std::string::npos) {
                rename = i;
            }
        }
        ASSERT_LT(rename, lines.size()) << "no rename to " << name;
        const std::string temporary = where + "/" + name + ".tazu16x32-";
        bool file_synced = false;
        for (std::size_t i = 0; i < rename; ++i) {
            file_synced |= lines[i].find("sync(") != std::string::npos &&
                           lines[i].find(temporary) != std::string::npos;
        }
        bool folder_synced = false;
        for (std::size_t i = rename + 1; i < lines.size(); ++i) {
            folder_synced |= lines[i].find("fsync(") != std::string::npos &&
                             lines[i].find("<" + where + ">)") != std::string::npos;
        }
        EXPECT_TRUE(file_synced) << name << " renamed before its data were synced";
        EXPECT_TRUE(folder_synced) << "the folder of " << name << " not synced after the rename";
    }

    int SyncsOfTemporaryFiles() {
        int count = 0;
        for (const std::string& line : Lines(dir / "trace")) {
            count += line.find("sync(") != std::string::npos &&
                     line.find(".tazu16x32-") != std::string::npos;
        }
        return count;
    }
};

TEST_F(DiskTest, WhatMayBeTheOnlyCopyIsSyncedBeforeItsRenameAndItsFolderAfter) {
    if (std::system("strace -f -o /dev/null true >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "strace cannot trace here (not installed, or no ptrace in the sandbox)";
    }
    WriteFile(dir / "a.txt", "the only copy");
    ASSERT_EQ(Traced("encrypt a.txt -o a.shf " + Pw()).status, 0);
    ExpectSyncedRename(dir.path(), "a.shf");
    ASSERT_EQ(Traced("encrypt - -o s.shf --name s.txt " + Pw(), "from a pipe").status, 0);
    ExpectSyncedRename(dir.path(), "s.shf");
    ASSERT_EQ(Traced("keystore-new --keystore ks.key").status, 0);
    ExpectSyncedRename(dir.path(), "ks.key");

    // A new extracted file is not synced (the archive still holds it); one
    // that replaces a file is.
    fs::create_directory(dir / "out");
    ASSERT_EQ(Traced("decrypt a.shf -d out " + Pw()).status, 0);
    EXPECT_EQ(SyncsOfTemporaryFiles(), 0);
    ASSERT_EQ(Traced("decrypt a.shf -d out --on-exists replace " + Pw()).status, 0);
    ExpectSyncedRename(dir / "out", "a.txt");
    EXPECT_EQ(ReadFile(dir / "out" / "a.txt"), "the only copy");
}

class AsAnotherUser : public DiskTest {
  protected:
    void SetUp() override {
        if (::geteuid() != 0) {
            GTEST_SKIP() << "needs root to give files to a second user (nobody)";
        }
        if (std::system((std::string(kAsNobody) + "true >/dev/null 2>&1").c_str()) != 0) {
            GTEST_SKIP() << "cannot run a program as nobody here (setpriv)";
        }
        // A folder everyone may write in, not sticky: anyone may replace
        // anyone's file there.
        fs::create_directory(dir / "shared");
        fs::permissions(dir / "shared", fs::perms::all);
        fs::create_directory(dir / "src");
        WriteFile(dir / "src" / "f.bin", "decrypted data");
        ASSERT_EQ(Cli("encrypt src/f.bin -o f.shf " + Pw()).status, 0);
    }
    // A file of owner's with mode in the shared folder.
    fs::path Planted(const std::string& name, uid_t owner) {
        const fs::path path = dir / "shared" / name;
        WriteFile(path, "theirs");
        ::chmod(path.c_str(), 0666);
        EXPECT_EQ(::chown(path.c_str(), owner, owner), 0);
        return path;
    }
    std::string Env() const { return "env HOME=" + Q(dir / "shared") + " "; }
};

TEST_F(AsAnotherUser, AReplacedFileOfAnotherUserHandsNeitherOwnerNorModeOn) {
    // nobody replaces root's 0666 files with umask 077: theirs, owner-only.
    const fs::path extracted = Planted("f.bin", 0);
    const fs::path archive = Planted("g.shf", 0);
    const std::string as_nobody = std::string("umask 077 && ") + kAsNobody + Env();
    ASSERT_EQ(Shell(as_nobody + "TAZU decrypt f.shf -d shared --on-exists replace " + Pw()).status,
              0);
    EXPECT_EQ(ReadFile(extracted), "decrypted data");
    EXPECT_EQ(OwnerOf(extracted).uid, kNobody);
    EXPECT_EQ(OwnerOf(extracted).mode, 0600u);
    ASSERT_EQ(Shell(as_nobody + "TAZU encrypt src/f.bin -o shared/g.shf --force " + Pw()).status,
              0);
    EXPECT_EQ(OwnerOf(archive).uid, kNobody);
    EXPECT_EQ(OwnerOf(archive).mode, 0600u);

    // root replacing nobody's file keeps it root's, not nobody's.
    const fs::path theirs = Planted("n.shf", kNobody);
    ASSERT_EQ(Shell("umask 077 && TAZU encrypt src/f.bin -o shared/n.shf --force " + Pw()).status,
              0);
    EXPECT_EQ(OwnerOf(theirs).uid, 0u);
    EXPECT_EQ(OwnerOf(theirs).mode, 0600u);
}

// A world-writable sticky folder (like /tmp) with links nobody planted in it.
TEST_F(AsAnotherUser, ALinkPlantedInAStickyFolderIsNeverFollowed) {
    const fs::path pub = dir / "pub";
    fs::create_directory(pub);
    ::chmod(pub.c_str(), 01777);
    WriteFile(dir / "secret", "kept");
    const auto plant = [&](const std::string& name, const fs::path& target, uid_t owner) {
        fs::create_symlink(target, pub / name);
        EXPECT_EQ(::lchown((pub / name).c_str(), owner, owner), 0);
    };
    plant("report.shf", dir / "secret", kNobody);
    plant("new.shf", dir / "created", kNobody);
    for (const char* name : {"report.shf", "new.shf"}) {
        for (const char* force : {"", "--force "}) {
            const CliResult r = Cli("encrypt src/f.bin -o " + Q(pub / name) + " " + force + Pw());
            EXPECT_NE(r.status, 0) << name << force;
            EXPECT_NE(r.err.find("программа не идет по символической ссылке"), std::string::npos)
                << r.err;
            EXPECT_TRUE(fs::is_symlink(pub / name));
        }
    }
    EXPECT_EQ(ReadFile(dir / "secret"), "kept");
    EXPECT_FALSE(fs::exists(dir / "created"));

    // The user's own link there is followed, and stays a link.
    plant("mine.shf", dir / "mine.shf", 0);
    ASSERT_EQ(Cli("encrypt src/f.bin -o " + Q(pub / "mine.shf") + " " + Pw()).status, 0);
    EXPECT_TRUE(fs::is_symlink(pub / "mine.shf"));
    EXPECT_TRUE(fs::is_regular_file(dir / "mine.shf"));

    // The key store: nobody's link is refused and left as it is; the
    // user's own is written through, the link kept.
    ASSERT_EQ(Cli("keystore-new --keystore real.key").status, 0);
    const std::string store = ReadFile(dir / "real.key");
    plant("ks.key", dir / "real.key", kNobody);
    const CliResult refused =
        Cli("keystore-passwd --password-stdin --keystore " + Q(pub / "ks.key"), "new\n");
    EXPECT_NE(refused.status, 0);
    EXPECT_NE(refused.err.find("символическая ссылка"), std::string::npos) << refused.err;
    EXPECT_TRUE(fs::is_symlink(pub / "ks.key"));
    EXPECT_EQ(ReadFile(dir / "real.key"), store);
    ASSERT_EQ(::lchown((pub / "ks.key").c_str(), 0, 0), 0);
    EXPECT_EQ(
        Cli("keystore-passwd --password-stdin --keystore " + Q(pub / "ks.key"), "new\n").status, 0);
    EXPECT_TRUE(fs::is_symlink(pub / "ks.key"));
    EXPECT_NE(ReadFile(dir / "real.key"), store);
}

}  // namespace
}  // namespace tazu::test
