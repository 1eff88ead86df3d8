// Reading past damage: a stream that can step back to where the current
// entry or block began, and the search for the next entry whose salt record
// verifies and opens with the password. Used only when a run is asked to
// recover; a normal run reads the archive as it always did.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cipher/str255.h"
#include "decrypt/decrypt_host.h"
#include "io/file_io.h"

namespace tazu {

// A forward stream over another one that keeps the bytes read since its
// mark, so a reader can go back to the mark and look at them again. The
// bytes kept are those from the mark on (a header, or one block), at most
// 64 KiB behind the read position, so memory stays bounded.
class RewindableInput final : public InputStream {
  public:
    explicit RewindableInput(InputStream& inner) : inner_(inner) {}

    std::size_t Read(std::uint8_t* out, std::size_t count) override;
    std::size_t Peek(std::size_t count, const std::uint8_t** data) override;
    void Consume(std::size_t n) override;

    // Bytes consumed so far: the offset of the next byte in the archive.
    std::uint64_t Position() const { return begin_ + pos_; }
    // Keeps the bytes from here on; RewindToMark comes back here.
    void Mark() { mark_ = Position(); }
    std::uint64_t MarkedAt() const { return mark_; }
    // Back to the mark; a mark more than 64 KiB behind is not kept, and the
    // stream then goes back as far as it can.
    void RewindToMark() { pos_ = mark_ > begin_ ? static_cast<std::size_t>(mark_ - begin_) : 0; }

  private:
    // Makes at least n bytes available from the read position (fewer at
    // the end of the data); returns how many are.
    std::size_t Fill(std::size_t n);

    InputStream& inner_;
    std::vector<std::uint8_t> buffer_;  // stream bytes [begin_, begin_ + size)
    std::uint64_t begin_ = 0;
    std::size_t pos_ = 0;
    std::uint64_t mark_ = 0;
    bool at_end_ = false;
};

// Whether an entry of the given version (or of any version, for -1) starts
// within the next `within` bytes: its marker, and a salt record whose
// signature holds and which opens with the password. On true, offset is
// where it starts. Nothing is consumed.
bool LocateEntryStart(RewindableInput& in, int version, const Str255& password, std::size_t within,
                      std::size_t& offset);

// Reads forward until such an entry starts, and stops right before it
// (true), or at the end of the data (false). Linear in the bytes passed
// over, in constant memory; lets the host run every so often and stops with
// aborted set when the run's abort flag is raised.
bool SkipToNextEntry(RewindableInput& in, int version, const Str255& password, DecryptHost& host,
                     const DecryptRunState& state, bool& aborted);

// The report line for bytes that could not be read as any entry.
std::string SkippedBytesLine(std::uint64_t from, std::uint64_t to, const Str255& name);

}  // namespace tazu
