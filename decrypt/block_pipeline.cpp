#include "decrypt/block_pipeline.h"

#include <cstring>
#include <memory>

#include "format/format.h"
#include "io/batch_pipeline.h"

namespace tazu {

namespace {

// Batches of 2048 blocks (about 500 KiB of records read with one system
// call, as much plaintext written with one); the ring holds four, so the
// threads meet rarely.
constexpr std::size_t kBatchBlocks = 2048;
constexpr std::size_t kBatchPlain = kBatchBlocks * Str255::kCapacity;
// The first batches of an entry are done inline: small entries (a folder's
// files) never start threads.
constexpr std::size_t kInlineBatches = 1;
// Room for the batch's records as read: as many whole blocks as written
// (a damaged length byte may make a record a little longer, and the batch
// then holds fewer).
constexpr std::size_t kBatchRecordBytes = kBatchBlocks * kMaxBlockRecordSize;

}  // namespace

struct DecipherBatch {
    std::size_t count = 0;
    // Bytes of ciphertext that came for the last block when the data ended
    // inside it; the whole block otherwise.
    bool cut = false;
    std::size_t cut_length = 0;
    // The records one after the other, read straight from the file, and
    // where each starts.
    std::uint8_t raw[kBatchRecordBytes];
    std::uint32_t start[kBatchBlocks];
    std::uint16_t plain_size[kBatchBlocks];
    std::size_t plain_total = 0;
    // Deciphered blocks follow each other without their random bytes; the
    // last one's random bytes may run past plain_total. Handed to the
    // writing thread by exchanging the buffer for a written one, never by
    // copying.
    std::unique_ptr<std::uint8_t[]> plain;
    BlockRunTotals totals;

    const std::uint8_t* record(std::size_t i) const { return raw + start[i]; }
};

namespace {

using Batch = DecipherBatch;

// Adds the records of one batch from file: up to a full batch, the end
// record or the end of the data. From the stream's buffer record by record
// for an entry's first batch (a small entry ends inside the buffer), with
// one read straight into the batch for the later ones, putting back what
// was read past the last whole record. False when nothing more follows.
bool FillFromBuffer(InputStream& file, Batch& b) {
    std::size_t pos = 0;
    while (b.count < kBatchBlocks) {
        const std::uint8_t* head = nullptr;
        if (file.Peek(1, &head) != 1 || head[0] == kEndRecordMarker) {
            return false;
        }
        const std::size_t size = 1 + head[0] + kSignatureSize;
        if (pos + size > kBatchRecordBytes) {
            return true;
        }
        std::uint8_t* record = b.raw + pos;
        const std::uint8_t* whole = nullptr;
        if (file.Peek(size, &whole) == size) {
            std::memcpy(record, whole, size);
            file.Consume(size);
        } else {
            // Across the end of the stream's buffer, or cut short.
            const std::size_t got = file.Read(record, size);
            if (got < size) {
                b.cut = true;
                b.cut_length = std::min<std::size_t>(record[0], got - 1);
                b.start[b.count++] = static_cast<std::uint32_t>(pos);
                return false;
            }
        }
        b.start[b.count++] = static_cast<std::uint32_t>(pos);
        pos += size;
    }
    return true;
}

bool FillDirect(InputStream& file, Batch& b) {
    const std::size_t got = file.Read(b.raw, kBatchRecordBytes);
    const bool data_ended = got < kBatchRecordBytes;
    std::size_t pos = 0;
    bool more = true;
    while (b.count < kBatchBlocks) {
        if (pos == got) {
            more = !data_ended;
            break;
        }
        if (b.raw[pos] == kEndRecordMarker) {
            more = false;
            break;
        }
        const std::size_t size = 1 + b.raw[pos] + kSignatureSize;
        if (pos + size > got) {
            if (data_ended) {
                // Cut short: the data end inside this block.
                b.cut = true;
                b.cut_length = std::min<std::size_t>(b.raw[pos], got - pos - 1);
                b.start[b.count++] = static_cast<std::uint32_t>(pos);
                pos = got;
                more = false;
            }
            break;  // else it runs on past this read: the next batch has it
        }
        b.start[b.count++] = static_cast<std::uint32_t>(pos);
        pos += size;
    }
    file.PutBack(b.raw + pos, got - pos);
    return more;
}

bool Fill(InputStream& file, Batch& b, bool first) {
    b.count = 0;
    b.cut = false;
    if (!b.plain) {
        b.plain.reset(new std::uint8_t[kBatchPlain]);
    }
    return first ? FillFromBuffer(file, b) : FillDirect(file, b);
}

std::size_t CiphertextLength(const Batch& b, std::size_t i) {
    return b.cut && i + 1 == b.count ? b.cut_length : b.record(i)[0];
}

// The records were just read on another processor, and the key chain does
// not run ahead to the next blocks' loads by itself: each block asks for
// the record 48 blocks on.
constexpr std::size_t kPrefetchBlocks = 48;

// Every block deciphered in order and its signature checked, then the
// byte sum. The key chain waits on its own results most of the time (each
// block's key follows from the one before), so a block's signature check,
// which does not depend on the chain, runs in those waits nearly for free
// while the record is still in the processor's nearest cache.
void DecipherAndCheck(BlockCipher& cipher, Batch& b) {
    b.plain_total = 0;
    b.totals = {};
    for (std::size_t i = 0; i < b.count; ++i) {
        if (i + kPrefetchBlocks < b.count) {
            PrefetchBytes(b.record(i + kPrefetchBlocks), kMaxBlockRecordSize);
        }
        const std::size_t n = CiphertextLength(b, i);
        const std::uint8_t* c = b.record(i) + 1;
        std::size_t got = 0;
        if (n > 0) {
            got = cipher.Decipher(c, n, b.plain.get() + b.plain_total);
        }
        const std::size_t plain = got > kBlockRandomBytes ? got - kBlockRandomBytes : 0;
        b.plain_size[i] = static_cast<std::uint16_t>(plain);
        b.plain_total += plain;
        const std::size_t signed_length = b.record(i)[0];
        if ((b.cut && i + 1 == b.count) || !cipher.Verify(c, signed_length, c + signed_length)) {
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

DecipherBatches::DecipherBatches() = default;
DecipherBatches::~DecipherBatches() = default;

BlockRunEnd DecipherBlocks(InputStream& file, BlockCipher& cipher, OutputStream& out,
                           BlockRunTotals& totals, const BlockProgress& progress) {
    DecipherBatches batches;
    return DecipherBlocks(file, cipher, out, totals, progress, batches);
}

BlockRunEnd DecipherBlocks(InputStream& file, BlockCipher& cipher, OutputStream& out,
                           BlockRunTotals& totals, const BlockProgress& progress,
                           DecipherBatches& kept) {
    const std::uint8_t* head = nullptr;
    if (!ParallelStagesWorthwhile() || !file.CanPutBack() || file.Peek(1, &head) == 0) {
        return BlockRunEnd::kRecordBoundary;  // no buffer, no putting back, or no data
    }
    const NoReadAhead inline_reads(file);
    // Once the ring's thread runs, a batch's plaintext is written on a thread
    // of its own while the caller reads the next records.
    BatchPipeline<Batch> pipeline(
        kept.ring, [&](Batch& b) { DecipherAndCheck(cipher, b); }, out, kBatchPlain);
    BlockRunEnd end = BlockRunEnd::kRecordBoundary;
    pipeline.Run(
        kInlineBatches,
        [&, first = true](Batch& b) mutable {
            const bool more = Fill(file, b, first);
            first = false;
            return more;
        },
        [&](Batch& b) {
            totals.damaged += b.totals.damaged;
            totals.sum += b.totals.sum;
            const bool written = b.plain_total == 0 || pipeline.Write(b.plain, b.plain_total);
            end = written ? Report(b, progress) : BlockRunEnd::kWriteFailed;
            return end != BlockRunEnd::kWriteFailed && end != BlockRunEnd::kStopped;
        });
    if (!pipeline.Finish() && end != BlockRunEnd::kStopped) {
        end = BlockRunEnd::kWriteFailed;
    }
    return end;
}

}  // namespace tazu
