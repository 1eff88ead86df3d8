// What the fuzz targets share: reading choices from the fuzz input, a
// scratch folder of the process's own, whole-file reads, quiet hosts for
// the engines, and standard input taken from bytes.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "cipher/random.h"
#include "decrypt/decrypt_object.h"
#include "encrypt/encrypt_object.h"

namespace tazu::fuzz {

namespace fs = std::filesystem;

// Takes values from the front of the fuzz input; past its end every value
// is 0 and every string empty.
class FuzzReader {
  public:
    FuzzReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::uint32_t Below(std::uint32_t n) {
        const std::uint32_t v = Byte() | (std::uint32_t{Byte()} << 8);
        return n == 0 ? 0 : v % n;
    }
    // Up to max_size bytes, as many as the next byte says.
    std::string Bytes(std::size_t max_size) {
        const std::size_t n = std::min<std::size_t>(Below(max_size + 1), size_ - pos_);
        std::string s(reinterpret_cast<const char*>(data_ + pos_), n);
        pos_ += n;
        return s;
    }
    std::string Rest() {
        std::string s(reinterpret_cast<const char*>(data_ + pos_), size_ - pos_);
        pos_ = size_;
        return s;
    }
    bool empty() const { return pos_ >= size_; }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// A folder of this process's own under the temporary folder, made once.
inline const fs::path& Scratch() {
    static const fs::path root = [] {
        auto p = fs::temp_directory_path() / ("tazu-fuzz-" + std::to_string(::getpid()));
        fs::remove_all(p);
        fs::create_directories(p);
        return p;
    }();
    return root;
}

// Scratch()/name, emptied (and made when missing).
inline fs::path FreshFolder(const std::string& name) {
    const fs::path p = Scratch() / name;
    std::error_code ec;
    fs::remove_all(p, ec);
    fs::create_directories(p);
    return p;
}

// A regular file's bytes (through a link too); nothing for anything else.
inline std::optional<std::string> ReadWhole(const fs::path& path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteWhole(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) {
        std::abort();  // the scratch folder must take what a target writes
    }
}

// Every path below root, files and folders, relative to it.
inline std::vector<fs::path> TreeOf(const fs::path& root) {
    std::vector<fs::path> paths;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        paths.push_back(fs::relative(e.path(), root));
    }
    return paths;
}

// Makes the bytes the next reads of standard input (descriptor 0) return.
inline void SetStandardInput(const std::string& bytes) {
    const fs::path file = Scratch() / "stdin";
    WriteWhole(file, bytes);
    const int fd = ::open(file.c_str(), O_RDONLY);
    if (fd < 0 || ::dup2(fd, 0) < 0) {
        std::abort();
    }
    ::close(fd);
}

class QuietEncryptHost final : public EncryptHost {
  public:
    void AddBytesProcessed(std::int64_t) override {}
    void AddFileEncrypted() override {}
    void ProcessEvents() override {}
    void AppendReport(const std::string& line) override { report.push_back(line); }
    std::vector<std::string> report;
};

// Answers every existing-file question with the same choice and keeps the
// report lines.
class RecordingDecryptHost final : public DecryptHost {
  public:
    void AddBytesProcessed(std::int64_t) override {}
    void AddEntryHandled() override {}
    void ProcessEvents() override {}
    void AppendReport(const std::string& line) override { report.push_back(line); }
    ExistingFileChoice AskExistingFile(const std::string&) override { return choice; }
    void NotePersonalCodeUse(bool) override {}
    ExistingFileChoice choice = ExistingFileChoice::Replace;
    std::vector<std::string> report;
};

// The secrets of one round trip: a password from the input (1 to 255
// bytes), and the personal code and key mark of a key store when the input
// asks for them.
struct RoundTripKeys {
    Str255 password;
    Str255 personal_code{std::string(160, 'p') + "code"};
    Str255 key_mark{"mark-1234"};
    bool use_personal_code = false;

    explicit RoundTripKeys(FuzzReader& in) {
        std::string p = in.Bytes(40);
        password = Str255(p.empty() ? std::string("pw") : p);
        use_personal_code = (in.Byte() & 1) != 0;
    }
};

// Encrypts source into archive with random bytes seeded from seed; the
// writer's outcome, its code and its report.
struct EncryptOutcome {
    bool ok = false;
    EncryptCode code = EncryptCode::kOk;
    std::vector<std::string> report;
};

inline EncryptOutcome EncryptWith(const RoundTripKeys& keys, const fs::path& archive,
                                  const fs::path& source, EncryptMode mode, std::uint64_t seed) {
    QuietEncryptHost host;
    EncryptRunState state;
    SeededRandom random(seed);
    const EncryptContext ctx{state, host, random};
    EncryptOutcome outcome;
    outcome.ok = EncryptObject(keys.password, keys.personal_code, keys.key_mark, archive, source,
                               keys.use_personal_code, mode, outcome.code, ctx);
    if (outcome.ok != (outcome.code == EncryptCode::kOk)) {
        std::abort();  // success and a failure code at once
    }
    outcome.report = std::move(host.report);
    return outcome;
}

// Extracts archive into destination; the run's code, with its report in host.
inline DecryptCode DecryptWith(const RoundTripKeys& keys, const fs::path& archive,
                               const fs::path& destination, DecryptHost& host,
                               DecryptRunState& state, bool recover = false) {
    DecryptCode code = DecryptCode::kOk;
    DecryptObject(keys.password, keys.personal_code, keys.key_mark, archive, destination, host,
                  state, code, /*write_files=*/true, recover);
    if (code == DecryptCode::kOk && !state.DecryptCancelled) {
        std::abort();  // a run always ends with a code
    }
    return code;
}

// True when no file of the run's own (a temporary file) is left in folder.
inline bool NoTemporaryLeft(const fs::path& folder, const std::vector<fs::path>& expected) {
    for (const fs::path& p : TreeOf(folder)) {
        if (std::find(expected.begin(), expected.end(), p) == expected.end()) {
            return false;
        }
    }
    return true;
}

}  // namespace tazu::fuzz
