#include "tests/support/test_files.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "io/native.h"

namespace tazu::test {

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    const char* base = std::getenv("TEST_TMPDIR");
    std::error_code ec;
    const std::filesystem::path system_temp = std::filesystem::temp_directory_path(ec);
    path_ = (base ? std::filesystem::path(base)
             : ec ? "/tmp"
                  : system_temp) /
            ("tazu-test-" + std::to_string(CurrentProcessId()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

std::string ShownPath(std::filesystem::path path) {
    return PathString(path.make_preferred());
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::pair<std::string, std::string>> ListTree(const std::filesystem::path& root) {
    std::vector<std::pair<std::string, std::string>> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (entry.is_regular_file() || entry.is_symlink()) {
            // "a/b" on every system, each part as its name's bytes (UTF-8
            // on Windows).
            std::string name;
            for (const auto& part : std::filesystem::relative(entry.path(), root)) {
                name += (name.empty() ? "" : "/") + PathString(part);
            }
            files.emplace_back(name, entry.is_symlink() ? "<link>" : ReadFile(entry.path()));
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::size_t StringInput::Peek(std::size_t count, const std::uint8_t** data) {
    const std::size_t window_end = std::min(bytes_.size(), (pos_ / kWindow + 1) * kWindow);
    *data = reinterpret_cast<const std::uint8_t*>(bytes_.data()) + pos_;
    return std::min(count, window_end - pos_);
}

std::size_t StringInput::Read(std::uint8_t* out, std::size_t count) {
    const std::size_t n = std::min(count, bytes_.size() - pos_);
    std::copy_n(bytes_.data() + pos_, n, out);
    pos_ += n;
    return n;
}

void StringInput::PutBack(const std::uint8_t* data, std::size_t n) {
    if (n > pos_ ||
        !std::equal(data, data + n, bytes_.begin() + static_cast<std::ptrdiff_t>(pos_ - n),
                    [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); })) {
        std::abort();
    }
    pos_ -= n;
}

void RecordingHost::ProcessEvents() {
    ++pumps;
    if (abort_target != nullptr && pumps == abort_at_pump) {
        abort_target->DecryptCancelled = true;
    }
}

ExistingFileChoice RecordingHost::AskExistingFile(const std::string& path) {
    if (apply_to_all && !asked.empty()) {
        return answers.front();
    }
    asked.push_back(path);
    const std::size_t i = std::min(asked.size() - 1, answers.size() - 1);
    return answers[i];
}

}  // namespace tazu::test
