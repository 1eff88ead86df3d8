#include "encrypt/folder_listing.h"

#include <algorithm>
#include <cstring>

namespace tazu {

namespace {

constexpr std::size_t kFirstBlockSize = 4096;

}  // namespace

void FolderListing::Add(std::string_view name, FolderEntryKind kind) {
    const std::size_t need = name.size() + 2;  // kind byte, name, NUL
    if (blocks_.empty() || blocks_.back().size - blocks_.back().used < need) {
        // Blocks double up to the largest an offset can reach, so a small
        // folder takes little and a large one a few allocations.
        const std::size_t limit = std::size_t{1} << kOffsetBits;
        std::size_t size =
            blocks_.empty() ? kFirstBlockSize : std::min(blocks_.back().size * 2, limit);
        size = std::max(size, need);
        Block block;
        block.bytes.reset(new char[size]);  // not zeroed: only what is used is touched
        block.size = size;
        blocks_.push_back(std::move(block));
    }
    Block& block = blocks_.back();
    char* at = block.bytes.get() + block.used;
    at[0] = static_cast<char>(kind);
    std::memcpy(at + 1, name.data(), name.size());
    at[1 + name.size()] = '\0';
    index_.push_back(
        static_cast<std::uint32_t>(((blocks_.size() - 1) << kOffsetBits) | block.used));
    block.used += need;
}

const char* FolderListing::At(std::uint32_t reference) const {
    const std::uint32_t mask = (std::uint32_t{1} << kOffsetBits) - 1;
    return blocks_[reference >> kOffsetBits].bytes.get() + (reference & mask);
}

std::string_view FolderListing::Name(std::size_t i) const {
    return At(index_[i]) + 1;
}

FolderEntryKind FolderListing::Kind(std::size_t i) const {
    return static_cast<FolderEntryKind>(*At(index_[i]));
}

void FolderListing::Sort() {
    // string_view compares as unsigned bytes: the same order on every system.
    std::sort(index_.begin(), index_.end(), [this](std::uint32_t a, std::uint32_t b) {
        return std::string_view(At(a) + 1) < std::string_view(At(b) + 1);
    });
}

void FolderListing::Clear() {
    std::vector<Block>().swap(blocks_);
    std::vector<std::uint32_t>().swap(index_);
}

}  // namespace tazu
