// The entries of one folder as the walk keeps them: names back to back in
// a few large blocks, each after its kind byte, and a sorted index of
// 4-byte references into them. About 6 bytes an entry beside its name, so
// a folder of a million files stays in a few megabytes.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace tazu {

enum class FolderEntryKind : std::uint8_t {
    kFile,        // a regular file, or a symbolic link to one
    kFolder,      // a folder (never a link to one)
    kFolderLink,  // a symbolic link to a folder: neither stored nor entered
    kOther,       // FIFO, socket, device, broken link: skipped, never opened
    kArchive,     // the archive being written or the one it replaces
};

class FolderListing {
  public:
    FolderListing() = default;
    FolderListing(const FolderListing&) = delete;
    FolderListing& operator=(const FolderListing&) = delete;

    // Adds an entry. A name from a listing holds no NUL byte.
    void Add(std::string_view name, FolderEntryKind kind);
    // Orders the entries by their name bytes.
    void Sort();
    void Clear();

    std::size_t size() const { return index_.size(); }
    std::string_view Name(std::size_t i) const;
    FolderEntryKind Kind(std::size_t i) const;

  private:
    static constexpr unsigned kOffsetBits = 20;  // a block holds at most 1 MiB
    struct Block {
        std::unique_ptr<char[]> bytes;
        std::size_t size = 0;
        std::size_t used = 0;
    };
    const char* At(std::uint32_t reference) const;

    std::vector<Block> blocks_;
    std::vector<std::uint32_t> index_;  // block << kOffsetBits | offset of the kind byte
};

}  // namespace tazu
