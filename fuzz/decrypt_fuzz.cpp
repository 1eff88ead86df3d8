// Feeds arbitrary bytes to the whole archive reader. The last byte picks
// the run: bit 1 set writes the files into a scratch folder (emptied after
// each input) and checks nothing lands beside it, else the run only checks;
// bit 0 set recovers from damage, so the search for the next entry is
// fuzzed too; bit 2 set lets the input take bytes back, so that data
// blocks go through the block pipeline's batches. The input is read through a buffer whose size the
// second-to-last byte picks, so that blocks lie whole in it (the reader's
// in-place path) or across its end (the path that copies).
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "decrypt/decrypt_object.h"

namespace {

// The input as a buffered reader shows it: Peek sees up to the end of the
// current buffer of buffer_size bytes. With put_back it also takes bytes
// back, as a file reader does, which lets the block pipeline's batches run
// (inline: inputs this small never start its threads).
class MemoryInput final : public tazu::InputStream {
  public:
    MemoryInput(const std::uint8_t* data, std::size_t size, std::size_t buffer_size, bool put_back)
        : data_(data), size_(size), buffer_size_(buffer_size), put_back_(put_back) {}
    std::size_t Read(std::uint8_t* out, std::size_t count) override {
        const std::size_t n = std::min(count, size_ - pos_);
        std::memcpy(out, data_ + pos_, n);
        pos_ += n;
        return n;
    }
    std::size_t Peek(std::size_t count, const std::uint8_t** data) override {
        const std::size_t buffer_end = std::min(size_, (pos_ / buffer_size_ + 1) * buffer_size_);
        *data = data_ + pos_;
        return std::min(count, buffer_end - pos_);
    }
    void Consume(std::size_t n) override { pos_ += std::min(n, size_ - pos_); }
    bool CanPutBack() const override { return put_back_; }
    void PutBack(const std::uint8_t* data, std::size_t n) override {
        if (n > pos_ || std::memcmp(data, data_ + pos_ - n, n) != 0) {
            std::abort();  // only the last bytes taken may be put back
        }
        pos_ -= n;
    }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t buffer_size_;
    bool put_back_;
    std::size_t pos_ = 0;
};

class QuietHost final : public tazu::DecryptHost {
  public:
    void AddBytesProcessed(std::int64_t) override {}
    void AddEntryHandled() override {}
    void ProcessEvents() override {}
    void AppendReport(const std::string&) override {}
    tazu::ExistingFileChoice AskExistingFile(const std::string&) override {
        return tazu::ExistingFileChoice::Replace;
    }
    void NotePersonalCodeUse(bool) override {}
};

const std::filesystem::path& Scratch() {
    static const std::filesystem::path root = [] {
        auto p =
            std::filesystem::temp_directory_path() / ("tazu-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(p / "out");
        return p;
    }();
    return root;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The password and key store of the test archives, which seed the corpus.
    static const tazu::Str255 password("correct horse");
    static const tazu::Str255 personal_code(std::string(160, 'p') + "code-A");
    static const tazu::Str255 key_mark("mark-A-1234");
    const std::uint8_t last = size > 0 ? data[size - 1] : 0;
    const bool write = (last & 2) != 0;
    const bool recover = (last & 1) != 0;
    const std::size_t buffer_size = 16 + 16 * (size > 1 ? data[size - 2] % 64 : 63);
    MemoryInput input(data, size, buffer_size, (last & 4) != 0);
    QuietHost host;
    tazu::DecryptRunState state;
    state.DecryptBlocksPerUpdate = 0;
    tazu::DecryptCode code = tazu::DecryptCode::kOk;
    const auto out = Scratch() / "out";
    tazu::DecryptArchive(password, personal_code, key_mark, input, {}, out, host, state, code,
                         write, recover);
    if (code == tazu::DecryptCode::kOk && !state.DecryptCancelled) {
        std::abort();  // a run always ends with a code
    }
    if (write) {
        for (const auto& entry : std::filesystem::directory_iterator(Scratch())) {
            if (entry.path() != out) {
                std::abort();  // something was written beside the destination
            }
        }
        for (const auto& entry : std::filesystem::directory_iterator(out)) {
            std::filesystem::remove_all(entry.path());
        }
    }
    return 0;
}
