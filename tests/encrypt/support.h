// Helpers of the writer's tests: temporary folders, a recording host, and a
// small archive reader built straight on the cipher primitives.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "cipher/str255.h"
#include "encrypt/encrypt_host.h"
#include "tests/support/test_files.h"

namespace tazu::test {

// Names of the entries in folder (hidden ones included).
std::vector<std::string> FolderNames(const std::filesystem::path& folder);

class RecordingEncryptHost : public EncryptHost {
  public:
    void AddBytesProcessed(std::int64_t count) override { bytes += count; }
    void AddFileEncrypted() override {
        ++files;
        if (on_file) {
            on_file();
        }
    }
    void ProcessEvents() override {
        ++events;
        if (on_events) {
            on_events();
        }
    }
    void AppendReport(const std::string& line) override { report.push_back(line); }
    void ShowStatusWindow() override { status.push_back("show"); }
    void SetStatusCaption(const std::string& text) override { status.push_back("caption " + text); }
    void SetStatusText(const std::string& text) override { status.push_back("text " + text); }
    void SetStatusProgress(int position) override { progress.push_back(position); }
    void HideStatusWindow() override { status.push_back("hide"); }
    void SwitchOffSelfDecrypting() override { self_decrypting_off = true; }

    std::int64_t bytes = 0;
    int files = 0;
    int events = 0;
    std::vector<std::string> report;
    std::vector<std::string> status;
    std::vector<int> progress;
    bool self_decrypting_off = false;
    std::function<void()> on_file;
    std::function<void()> on_events;
};

struct ReadEntry {
    std::size_t offset = 0;  // of its marker in the archive
    std::size_t size = 0;    // marker to end record, inclusive
    bool long_name = false;
    std::string name;
    std::string key_mark;
    std::string data;
    std::vector<std::size_t> block_sizes;  // whole records
    Str255 salt;
};

struct ReadArchive {
    std::vector<ReadEntry> entries;
    std::size_t trailer_size = 0;
};

// Reads an archive starting at offset start, checking every signature
// (the trailer's against a chain rebuilt here), opening every record and
// deciphering the data. Returns an empty string, or what is wrong.
std::string ReadWholeArchive(const std::string& bytes, std::size_t start, const Str255& password,
                             const Str255& personal_code, ReadArchive& out);

}  // namespace tazu::test
