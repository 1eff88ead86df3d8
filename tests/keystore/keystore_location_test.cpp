// Where the key store is found and how a first start makes one: the store
// beside the program wins, else the per-user folder; a first start makes
// that folder owner-only with a store in it, and an existing folder whose
// store is gone is left for the prompt to report. Failed saves and loads
// name their cause.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>

#include "format/language.h"
#include "keystore/keystore_location.h"
#include "keystore_test_util.h"

namespace tazu::test {
namespace {

unsigned Mode(const std::filesystem::path& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 0777;
}

class KeyStoreLocationTest : public ::testing::Test {
  protected:
    KeyStoreLocationTest() {
        std::filesystem::create_directories(dir_ / "bin");
        std::filesystem::create_directories(dir_ / "home");
        env_.program_folder = dir_ / "bin";
        env_.home = (dir_ / "home").string();
    }
    std::filesystem::path UserStore() const {
        return dir_.path() / "home/.config/tazu16x32/Tazu16x32.key";
    }

    test::TempDir dir_;
    KeyStoreEnvironment env_;
    SeededRandom random_{5};
};

TEST_F(KeyStoreLocationTest, StoreBesideTheProgramWinsOverThePerUserStore) {
    KeyStoreLocation location = LocateKeyStore(env_);
    EXPECT_EQ(location.path, UserStore());
    EXPECT_FALSE(location.portable);

    std::ofstream(dir_ / "bin/Tazu16x32.key") << "x";
    location = LocateKeyStore(env_);
    EXPECT_EQ(location.path, dir_ / "bin/Tazu16x32.key");
    EXPECT_TRUE(location.portable);

    // A dangling link there is still the store the user meant.
    std::filesystem::remove(dir_ / "bin/Tazu16x32.key");
    std::filesystem::create_symlink(dir_ / "nowhere", dir_ / "bin/Tazu16x32.key");
    EXPECT_TRUE(LocateKeyStore(env_).portable);
}

TEST_F(KeyStoreLocationTest, PerUserFolderFollowsTheBaseDirectoryRules) {
    env_.xdg_config_home = (dir_ / "xdg").string();
    EXPECT_EQ(LocateKeyStore(env_).path, dir_ / "xdg/tazu16x32/Tazu16x32.key");
    env_.xdg_config_home = "relative/config";  // ignored, as the rules say
    EXPECT_EQ(LocateKeyStore(env_).path, UserStore());
    env_.home.clear();
    env_.xdg_config_home.clear();
    const KeyStoreLocation location = LocateKeyStore(env_);
    EXPECT_TRUE(location.user_folder.empty());
    EXPECT_EQ(location.path, dir_ / "bin/Tazu16x32.key");
}

TEST_F(KeyStoreLocationTest, FirstStartMakesAnOwnerOnlyFolderAndAStore) {
    const KeyStoreLocation location = LocateKeyStore(env_);
    int error_number = -1;
    ASSERT_EQ(MakeFirstKeyStore(location, 0x18, random_, error_number), FirstStoreOutcome::kMade);
    EXPECT_EQ(error_number, 0);
    EXPECT_EQ(Mode(dir_ / "home/.config"), 0700u);
    EXPECT_EQ(Mode(location.user_folder), 0700u);
    EXPECT_EQ(Mode(location.path), 0600u);
    KeyStoreValues values;
    ASSERT_EQ(ReadKeyStoreFile(location.path, Str255(), values), KeyStoreLoadCode::kOk);
    EXPECT_EQ(values.settings, 0x18);

    // A second start finds the store; one whose store is gone gets no new
    // one (it would hold another personal code).
    const test::Bytes made = test::ReadAll(location.path);
    EXPECT_EQ(MakeFirstKeyStore(location, 0x18, random_, error_number),
              FirstStoreOutcome::kNotFirst);
    EXPECT_EQ(test::ReadAll(location.path), made);
    std::filesystem::remove(location.path);
    EXPECT_EQ(MakeFirstKeyStore(location, 0x18, random_, error_number),
              FirstStoreOutcome::kNotFirst);
    EXPECT_FALSE(std::filesystem::exists(location.path));
}

TEST_F(KeyStoreLocationTest, PortableCopyMakesNoPerUserStore) {
    std::ofstream(dir_ / "bin/Tazu16x32.key") << "x";
    int error_number = 0;
    EXPECT_EQ(MakeFirstKeyStore(LocateKeyStore(env_), 0x18, random_, error_number),
              FirstStoreOutcome::kNotFirst);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "home/.config"));
}

TEST_F(KeyStoreLocationTest, FailedFirstStoreLeavesNothingAndSaysWhy) {
    // ~/.config is a file: no folder can be made under it.
    std::ofstream(dir_ / "home/.config") << "x";
    int error_number = 0;
    const KeyStoreLocation location = LocateKeyStore(env_);
    EXPECT_EQ(MakeFirstKeyStore(location, 0x18, random_, error_number), FirstStoreOutcome::kFailed);
    EXPECT_EQ(error_number, ENOTDIR);
    std::filesystem::remove(dir_ / "home/.config");

    if (::geteuid() != 0) {
        std::filesystem::permissions(
            dir_ / "home", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        EXPECT_EQ(MakeFirstKeyStore(location, 0x18, random_, error_number),
                  FirstStoreOutcome::kFailed);
        EXPECT_EQ(error_number, EACCES);
        std::filesystem::permissions(dir_ / "home", std::filesystem::perms::owner_all);
    }
    EXPECT_FALSE(std::filesystem::exists(location.user_folder));
}

TEST_F(KeyStoreLocationTest, ExistingFolderIsTightenedToOwnerOnly) {
    const std::filesystem::path folder = dir_ / "home/.config/tazu16x32";
    std::filesystem::create_directories(folder);
    ::chmod(folder.c_str(), 0755);
    int error_number = 0;
    ASSERT_TRUE(MakeUserKeyStoreFolder(folder, error_number));
    EXPECT_EQ(Mode(folder), 0700u);
}

TEST_F(KeyStoreLocationTest, FailedSavesAndLoadsNameTheirCause) {
    // The causes' words checked here are their English ones.
    struct English {
        English() { SetLanguage(Language::kEnglish); }
        ~English() { SetLanguage(Language::kRussian); }
    } english;
    int error_number = 0;
    const std::filesystem::path missing = dir_ / "no-such-folder/Tazu16x32.key";
    EXPECT_EQ(CreateKeyStoreFile(missing, Str255(), 0, random_, &error_number),
              KeyStoreSaveCode::kCannotCreate);
    EXPECT_EQ(error_number, ENOENT);
    EXPECT_EQ(KeyStoreSaveCause(KeyStoreSaveCode::kCannotCreate, error_number, missing),
              "the folder " + (dir_ / "no-such-folder").string() + " does not exist");
    EXPECT_NE(KeyStoreSaveCause(KeyStoreSaveCode::kCannotCreate, EACCES, missing)
                  .find("permission denied"),
              std::string::npos);
    EXPECT_EQ(KeyStoreSaveCause(KeyStoreSaveCode::kShortWrite, 0, missing),
              "writing to the disk failed");

    KeyStoreValues values;
    EXPECT_EQ(ReadKeyStoreFile(dir_.path(), Str255(), values, error_number),
              KeyStoreLoadCode::kCannotOpen);
    EXPECT_EQ(error_number, EISDIR);
    EXPECT_NE(
        KeyStoreLoadCause(KeyStoreLoadCode::kCannotOpen, EACCES, missing).find("permission denied"),
        std::string::npos);
    EXPECT_NE(KeyStoreLoadCause(KeyStoreLoadCode::kDamaged, 0, missing).find("damaged"),
              std::string::npos);
}

}  // namespace
}  // namespace tazu::test
