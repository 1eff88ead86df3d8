// The data blocks of a version-07 entry deciphered on two threads beside
// the caller's: the caller reads the records ahead, one thread follows the
// block key chain block after block (deciphering each block, checking its
// signature while the chain waits on itself, and summing the bytes), and
// a second writes the plaintext behind, in order, in batches of blocks. The bytes
// written, the damage count and the byte sum are those of the
// block-by-block loop.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include <memory>

#include "cipher/block_cipher.h"
#include "io/batch_ring.h"
#include "io/file_io.h"

namespace tazu {

struct BlockRunTotals {
    std::int32_t damaged = 0;  // blocks whose signature failed
    std::uint32_t sum = 0;     // byte sum of the plaintext written
};

enum class BlockRunEnd {
    kRecordBoundary,  // the next record is the end record, or no data is left
    kCutInsideBlock,  // the data ended inside a block: no end record follows
    kWriteFailed,
    kStopped,  // progress said stop (the user aborted)
};

// Called in order for every block that held plaintext (and was whole) with
// its plaintext size, after the block was written; false stops the run.
using BlockProgress = std::function<bool(std::size_t plain_size)>;

struct DecipherBatch;

// The batches the blocks are read and deciphered in (about 1 MiB each),
// kept by the caller from one entry to the next: an archive of many small
// entries then allocates its first batch once, not once an entry (and the
// allocator does not give the memory back and take it again each time).
class DecipherBatches {
  public:
    DecipherBatches();
    ~DecipherBatches();
    DecipherBatches(const DecipherBatches&) = delete;
    DecipherBatches& operator=(const DecipherBatches&) = delete;

    std::unique_ptr<DecipherBatch> ring[BatchRing::kSlots];  // not "slots", a Qt keyword
};

// Deciphers, checks and writes blocks from file until its end record or its
// end, leaving file at the end record. Runs for a stream with a buffer of
// its own (Peek) that can take bytes back (PutBack), where the pipeline's
// threads can run beside the caller; else returns kRecordBoundary at once,
// with nothing read, and the caller's own loop does the work. The batches
// are those given, or made for this call.
BlockRunEnd DecipherBlocks(InputStream& file, BlockCipher& cipher, OutputStream& out,
                           BlockRunTotals& totals, const BlockProgress& progress,
                           DecipherBatches& batches);
BlockRunEnd DecipherBlocks(InputStream& file, BlockCipher& cipher, OutputStream& out,
                           BlockRunTotals& totals, const BlockProgress& progress);

}  // namespace tazu
