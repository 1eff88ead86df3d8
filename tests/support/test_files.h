// Temporary folders, whole-file reads and writes, and in-memory streams for
// tests.
#pragma once

#include <algorithm>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "decrypt/decrypt_host.h"
#include "io/file_io.h"

namespace tazu::test {

// A fresh folder under the test temporary folder, removed with its contents.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

void WriteFile(const std::filesystem::path& path, const std::string& bytes);
// A path as the engines show it in report lines and questions: with the
// system's own separator ("\" on Windows) and as UTF-8 text there.
std::string ShownPath(std::filesystem::path path);
std::string ReadFile(const std::filesystem::path& path);

// Whether text holds a Cyrillic letter (U+0400..U+04FF, lead bytes 0xD0..0xD3
// in UTF-8): a Russian text among English ones.
inline bool HasCyrillic(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        return static_cast<unsigned char>(c) >= 0xD0 && static_cast<unsigned char>(c) <= 0xD3;
    });
}
// Every regular file below root, as "relative/path" -> content.
std::vector<std::pair<std::string, std::string>> ListTree(const std::filesystem::path& root);

class StringOutput final : public OutputStream {
  public:
    bool Write(const std::uint8_t* data, std::size_t count) override {
        bytes.append(reinterpret_cast<const char*>(data), count);
        return true;
    }
    bool Flush() override { return true; }
    std::string bytes;
};

// Bytes in memory. Like a file reader's buffer, Peek shows them in windows
// of kWindow bytes, so a record may lie whole in one window or straddle two,
// and readers meet both cases.
class StringInput final : public InputStream {
  public:
    static constexpr std::size_t kWindow = 400;
    explicit StringInput(std::string bytes) : bytes_(std::move(bytes)) {}
    std::size_t Read(std::uint8_t* out, std::size_t count) override;
    std::size_t Peek(std::size_t count, const std::uint8_t** data) override;
    void Consume(std::size_t n) override { pos_ += std::min(n, bytes_.size() - pos_); }
    bool CanPutBack() const override { return true; }
    // Ends the test program when the bytes are not the last ones taken.
    void PutBack(const std::uint8_t* data, std::size_t n) override;

  private:
    std::string bytes_;
    std::size_t pos_ = 0;
};

// Records what the engine tells its host; answers the existing-file
// question from a script (the last answer repeats) and can raise the abort
// flag at a chosen event pump.
class RecordingHost : public DecryptHost {
  public:
    void AddBytesProcessed(std::int64_t count) override { bytes += count; }
    void AddEntryHandled() override { ++entries; }
    void ProcessEvents() override;
    void AppendReport(const std::string& line) override { report.push_back(line); }
    ExistingFileChoice AskExistingFile(const std::string& path) override;
    void NotePersonalCodeUse(bool used) override { UpdatePersonalCodeIndicator(indicator, used); }
    // "<stored name>: damaged <blocks>" or "<stored name>: skipped <reason>".
    void NoteEntryResult(const std::string& stored_name, const EntryResult& result) override {
        results.push_back(stored_name + (result.skipped.empty()
                                             ? ": damaged " + std::to_string(result.damaged_blocks)
                                             : ": skipped " + std::string(result.skipped)));
    }

    // "<from>-<to> <damaged entry>".
    void NoteSkippedBytes(std::uint64_t from, std::uint64_t to,
                          const std::string& damaged_entry) override {
        skipped_bytes.push_back(std::to_string(from) + "-" + std::to_string(to) + " " +
                                damaged_entry);
    }

    std::int64_t bytes = 0;
    int entries = 0;
    int pumps = 0;
    std::vector<std::string> report;
    std::vector<std::string> results;        // what NoteEntryResult was told
    std::vector<std::string> skipped_bytes;  // what NoteSkippedBytes was told
    std::vector<std::string> asked;
    std::string indicator;
    std::vector<ExistingFileChoice> answers{ExistingFileChoice::Replace};
    bool apply_to_all = false;  // ask once, then repeat the first answer
    DecryptRunState* abort_target = nullptr;
    int abort_at_pump = -1;  // raise abort_target->DecryptCancelled at this pump (1-based)
};

}  // namespace tazu::test
