#include "decrypt/block_pipeline.h"

#include <cstring>
#include <memory>

#include "format/format.h"
#include "io/batch_ring.h"
#include "io/write_behind.h"

namespace tazu {

namespace {

// Batches of 2048 blocks (about 500 KiB of records, as much plaintext,
// written with one system call);
// the ring holds four, so the threads meet rarely.
constexpr std::size_t kBatchBlocks = 2048;
constexpr std::size_t kBatchPlain = kBatchBlocks * Str255::kCapacity;
// The first batches of an entry are done inline: small entries (a folder's
// files) never start threads.
constexpr std::size_t kInlineBatches = 1;
constexpr std::size_t kRecordStride = 1 + Str255::kCapacity + kSignatureSize;

struct Batch {
    std::size_t count = 0;
    // Bytes of ciphertext that came for the last block when the data ended
    // inside it; the whole block otherwise.
    bool cut = false;
    std::size_t cut_length = 0;
    std::uint8_t records[kBatchBlocks][kRecordStride];
    std::uint16_t plain_size[kBatchBlocks];
    std::size_t plain_total = 0;
    // Deciphered blocks follow each other without their random bytes; the
    // last one's random bytes may run past plain_total. Handed to the
    // writing thread by exchanging the buffer for a written one, never by
    // copying.
    std::unique_ptr<std::uint8_t[]> plain;
    BlockRunTotals totals;
};

// Copies whole records from file into the batch until it is full, the end
// record comes or the data end. False when nothing more follows.
bool Fill(InputStream& file, Batch& b) {
    b.count = 0;
    b.cut = false;
    if (!b.plain) {
        b.plain.reset(new std::uint8_t[kBatchPlain]);
    }
    while (b.count < kBatchBlocks) {
        const std::uint8_t* head = nullptr;
        if (file.Peek(1, &head) != 1 || head[0] == kEndRecordMarker) {
            return false;
        }
        const std::size_t size = 1 + head[0] + kSignatureSize;
        std::uint8_t* record = b.records[b.count];
        const std::uint8_t* whole = nullptr;
        if (file.Peek(size, &whole) == size) {
            std::memcpy(record, whole, size);
            file.Consume(size);
        } else {
            // Across the end of the reader's buffer, or cut short.
            const std::size_t got = file.Read(record, size);
            if (got < size) {
                b.cut = true;
                b.cut_length = std::min<std::size_t>(record[0], got - 1);
                ++b.count;
                return false;
            }
        }
        ++b.count;
    }
    return true;
}

std::size_t CiphertextLength(const Batch& b, std::size_t i) {
    return b.cut && i + 1 == b.count ? b.cut_length : b.records[i][0];
}

// The key chain: every block deciphered in order.
void Chain(BlockCipher& cipher, Batch& b) {
    b.plain_total = 0;
    for (std::size_t i = 0; i < b.count; ++i) {
        const std::size_t n = CiphertextLength(b, i);
        std::size_t got = 0;
        if (n > 0) {
            got = cipher.Decipher(b.records[i] + 1, n, b.plain.get() + b.plain_total);
        }
        const std::size_t plain = got > kBlockRandomBytes ? got - kBlockRandomBytes : 0;
        b.plain_size[i] = static_cast<std::uint16_t>(plain);
        b.plain_total += plain;
    }
}

// Signatures and the byte sum, independent of the key chain.
void Check(const BlockCipher& cipher, Batch& b) {
    b.totals = {};
    for (std::size_t i = 0; i < b.count; ++i) {
        const std::size_t n = b.records[i][0];
        const std::uint8_t* c = b.records[i] + 1;
        if ((b.cut && i + 1 == b.count) || !cipher.Verify(c, n, c + n)) {
            ++b.totals.damaged;
        }
    }
    AddToByteSum(b.totals.sum, b.plain.get(), b.plain_total);
}

// Reports a written batch's blocks.
BlockRunEnd Report(const Batch& b, const BlockProgress& progress) {
    const std::size_t whole = b.cut ? b.count - 1 : b.count;
    for (std::size_t i = 0; i < whole; ++i) {
        if (b.plain_size[i] > 0 && !progress(b.plain_size[i])) {
            return BlockRunEnd::kStopped;
        }
    }
    return b.cut ? BlockRunEnd::kCutInsideBlock : BlockRunEnd::kRecordBoundary;
}

}  // namespace

BlockRunEnd DecipherBlocks(InputStream& file, BlockCipher& cipher, OutputStream& out,
                           BlockRunTotals& totals, const BlockProgress& progress) {
    const std::uint8_t* head = nullptr;
    if (!ParallelStagesWorthwhile() || file.Peek(1, &head) == 0) {
        return BlockRunEnd::kRecordBoundary;  // no buffer of its own, or no data
    }
    const NoReadAhead inline_reads(file);
    std::unique_ptr<Batch> batches[BatchRing::kSlots];
    BatchRing ring([&](std::size_t s) { Chain(cipher, *batches[s]); },
                   [&](std::size_t s) { Check(cipher, *batches[s]); });
    // Once the stage threads run, a batch's plaintext is written on a thread
    // of its own while the caller reads the next records.
    WriteBehind writer(out, kBatchPlain);
    BlockRunEnd end = BlockRunEnd::kRecordBoundary;
    RunBatches(
        ring, batches, kInlineBatches, [&](Batch& b) { return Fill(file, b); },
        [&](Batch& b) {
            totals.damaged += b.totals.damaged;
            totals.sum += b.totals.sum;
            const bool written = b.plain_total == 0 ||
                                 (ring.started() ? writer.Hand(b.plain, b.plain_total)
                                                 : writer.WriteNow(b.plain.get(), b.plain_total));
            end = written ? Report(b, progress) : BlockRunEnd::kWriteFailed;
            return end != BlockRunEnd::kWriteFailed && end != BlockRunEnd::kStopped;
        });
    if (!writer.Finish() && end != BlockRunEnd::kStopped) {
        end = BlockRunEnd::kWriteFailed;
    }
    return end;
}

}  // namespace tazu
