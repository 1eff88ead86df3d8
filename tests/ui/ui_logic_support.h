// Helpers for the Qt-free tests of the windows' logic.
#pragma once

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "cipher/random.h"

namespace tazu::test {

// A fresh folder under the system's temporary folder, removed at the end.
class TempFolder {
  public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tazu-ui-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// Every byte is the value set last: Below(10) gives value % 10 (values
// below 250).
class ValueRandom final : public Random {
  public:
    explicit ValueRandom(std::uint8_t value) : value_(value) {}
    void Set(std::uint8_t value) {
        value_ = value;
        Random::Reseed();
    }

  protected:
    void Fill(std::uint8_t* out, std::size_t count) override { std::memset(out, value_, count); }

  private:
    std::uint8_t value_;
};

inline std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteAll(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

}  // namespace tazu::test
