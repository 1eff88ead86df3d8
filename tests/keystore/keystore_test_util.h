// Helpers of the key-store tests: a temporary folder, whole-file reads and
// writes, and a store made from fixed values.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "cipher/random.h"
#include "io/native.h"
#include "keystore/keystore_file.h"

namespace tazu::test {

using Bytes = std::vector<std::uint8_t>;

class TempDir {
  public:
    TempDir() {
        static int counter = 0;
        path_ = std::filesystem::temp_directory_path() /
                ("tazu-ks-" + std::to_string(CurrentProcessId()) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directory(path_);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

inline Bytes ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteAll(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// Fixed values: a 200-byte personal code and a printable key mark.
inline KeyStoreValues SampleValues(std::uint8_t settings = 0x18) {
    KeyStoreValues v;
    v.settings = settings;
    for (int i = 0; i < 200; ++i) {
        v.personal_code.push_back(static_cast<std::uint8_t>(i * 37 + 11));
    }
    v.key_mark = Str255("KM0123456789ABCDEF");
    return v;
}

inline bool SameValues(const KeyStoreValues& a, const KeyStoreValues& b) {
    return a.settings == b.settings && a.personal_code == b.personal_code &&
           a.key_mark == b.key_mark;
}

}  // namespace tazu::test
