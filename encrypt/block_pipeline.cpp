#include "encrypt/block_pipeline.h"

#include <cstring>
#include <memory>

#include "cipher/wipe.h"
#include "format/format.h"
#include "io/batch_pipeline.h"

namespace tazu {

namespace {

// Batches of 2048 blocks (about 500 KiB of data, read and written with one
// system call each); the ring holds four.
constexpr std::size_t kBatchBlocks = 2048;
constexpr std::size_t kBatchData = kBatchBlocks * kChunkSize;
constexpr std::size_t kBatchRecords = kBatchBlocks * kMaxBlockRecordSize;
// The first batch of an entry is done inline: small files never start
// threads.
constexpr std::size_t kInlineBatches = 1;

struct Batch {
    std::size_t count = 0;
    // The chunks one after the other, as read: every chunk but the source's
    // last is whole.
    std::size_t data_size = 0;
    std::uint8_t data[kBatchData];
    // Each block's random bytes.
    std::uint8_t random[kBatchBlocks][kBlockRandomBytes];
    // The records, one after the other: each block's is its chunk's size
    // plus the overhead, so the offsets follow from the block's index.
    // Handed to the writing thread by exchanging the buffer for a written
    // one, never by copying.
    std::unique_ptr<std::uint8_t[]> records;
    std::size_t records_size = 0;
    std::uint32_t sum = 0;

    const std::uint8_t* chunk(std::size_t i) const { return data + i * kChunkSize; }
    std::size_t chunk_size(std::size_t i) const {
        return i + 1 < count ? kChunkSize : data_size - i * kChunkSize;
    }
    std::uint8_t* record(std::size_t i) { return records.get() + i * kMaxBlockRecordSize; }
};

// Reads the batch's chunks with one read and draws their random bytes, in
// the order of the block loop (all of a block's random bytes follow its
// chunk, so drawing a batch's in one go draws the same bytes). False when
// the source has ended.
bool Fill(InputStream& source, Random& random, Batch& b) {
    b.data_size = source.Read(b.data, kBatchData);
    b.count = (b.data_size + kChunkSize - 1) / kChunkSize;
    b.records_size = b.data_size + b.count * kBlockOverhead;
    if (!b.records) {
        b.records.reset(new std::uint8_t[kBatchRecords]);
    }
    random.Bytes(&b.random[0][0], b.count * kBlockRandomBytes);
    return b.data_size == kBatchData;
}

// The chunks were just read on another processor: each block asks for the
// data 48 blocks on.
constexpr std::size_t kPrefetchBlocks = 48;

// Every block enciphered in order and signed, then the byte sum. The key
// chain waits on its own results most of the time (each block's key
// follows from the one before), so a block's signature, which does not
// depend on the chain, is worked out in those waits nearly for free while
// the record is still in the processor's nearest cache. The random bytes,
// from which the block keys follow, are wiped once used.
void EncipherAndSign(BlockCipher& cipher, Batch& b) {
    for (std::size_t i = 0; i < b.count; ++i) {
        if (i + kPrefetchBlocks < b.count) {
            PrefetchBytes(b.chunk(i + kPrefetchBlocks), kChunkSize);
        }
        std::uint8_t* record = b.record(i);
        const std::size_t size = b.chunk_size(i);
        const std::size_t n = size + kBlockRandomBytes;
        record[0] = static_cast<std::uint8_t>(n);
        cipher.EncipherUnsigned(b.chunk(i), size, b.random[i], record + 1);
        cipher.Sign(record + 1, n, record + 1 + n);
    }
    WipeBytes(&b.random[0][0], b.count * kBlockRandomBytes);
    b.sum = 0;
    AddToByteSum(b.sum, b.data, b.data_size);
}

// An entry's first batch (about 1 MiB, and all that a small file needs),
// kept from one entry to the next on the thread that encrypts: a folder's
// small files then do not each allocate it (and the allocator give it
// back and take it again).
std::unique_ptr<Batch>& KeptFirstBatch() {
    thread_local std::unique_ptr<Batch> kept;
    return kept;
}

}  // namespace

BlockWriteEnd EncipherBlocks(InputStream& source, BlockCipher& cipher, Random& random,
                             OutputStream& archive, std::uint32_t& sum,
                             const BlockWriteProgress& progress) {
    if (!ParallelStagesWorthwhile()) {
        return BlockWriteEnd::kSourceEnded;
    }
    const NoReadAhead inline_reads(source);
    std::unique_ptr<Batch> batches[BatchRing::kSlots];
    batches[0] = std::move(KeptFirstBatch());  // RunBatches fills slot 0 first
    // Once the ring's thread runs, a batch's records are written on a thread
    // of their own while the caller reads the next chunks.
    BatchPipeline<Batch> pipeline(
        batches, [&](Batch& b) { EncipherAndSign(cipher, b); }, archive, kBatchRecords);
    BlockWriteEnd end = BlockWriteEnd::kSourceEnded;
    pipeline.Run(
        kInlineBatches, [&](Batch& b) { return Fill(source, random, b); },
        [&](Batch& b) {
            sum += b.sum;
            if (!pipeline.Write(b.records, b.records_size)) {
                end = BlockWriteEnd::kWriteFailed;
                return false;
            }
            for (std::size_t i = 0; i < b.count; ++i) {
                if (!progress(b.chunk_size(i))) {
                    end = BlockWriteEnd::kStopped;
                    return false;
                }
            }
            return true;
        });
    if (!pipeline.Finish() && end == BlockWriteEnd::kSourceEnded) {
        end = BlockWriteEnd::kWriteFailed;
    }
    pipeline.Stop();  // no batch is worked on any more
    KeptFirstBatch() = std::move(batches[0]);
    return end;
}

}  // namespace tazu
