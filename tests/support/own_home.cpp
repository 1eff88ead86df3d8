// Linked into every test program: before main, the process gets a home
// folder and a configuration folder of its own (HOME, XDG_CONFIG_HOME),
// removed at its end. The programs a test runs inherit them, so no test
// reads or writes the key store or the settings of whoever runs it.
#ifndef _WIN32
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

class OwnHome {
  public:
    OwnHome() {
        const char* base = std::getenv("TEST_TMPDIR");
        std::error_code ec;
        const std::filesystem::path temp = std::filesystem::temp_directory_path(ec);
        home_ = (base ? std::filesystem::path(base)
                 : ec ? "/tmp"
                      : temp) /
                ("tazu-home-" + std::to_string(::getpid()));
        std::filesystem::remove_all(home_, ec);
        std::filesystem::create_directories(home_ / ".config", ec);
        owner_ = ::getpid();
        ::setenv("HOME", home_.c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (home_ / ".config").c_str(), 1);
    }
    ~OwnHome() {
        if (::getpid() != owner_) {
            return;  // a forked child that ends leaves the folder to its parent
        }
        std::error_code ec;
        std::filesystem::remove_all(home_, ec);
    }
    OwnHome(const OwnHome&) = delete;
    OwnHome& operator=(const OwnHome&) = delete;

  private:
    std::filesystem::path home_;
    pid_t owner_ = 0;
};

const OwnHome own_home;

}  // namespace
#endif
