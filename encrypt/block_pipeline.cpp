#include "encrypt/block_pipeline.h"

#include <cstring>
#include <memory>

#include "format/format.h"
#include "io/batch_ring.h"

namespace tazu {

namespace {

// Batches of 2048 blocks (about 500 KiB of data, written with one system
// call); the ring holds four.
constexpr std::size_t kBatchBlocks = 2048;
// The first batch of an entry is done inline: small files never start
// threads.
constexpr std::size_t kInlineBatches = 1;

struct Batch {
    std::size_t count = 0;
    // Each chunk followed by its random bytes, so a block is enciphered in
    // one pass.
    std::uint8_t chunks[kBatchBlocks][kChunkSize + kBlockRandomBytes];
    std::uint8_t chunk_size[kBatchBlocks];
    // The records, one after the other.
    std::size_t record_offset[kBatchBlocks];
    std::size_t records_size = 0;
    std::uint8_t records[kBatchBlocks * kMaxBlockRecordSize];
    std::uint32_t sum = 0;
};

// Reads chunks and draws their random bytes, in the order of the block
// loop. False when the source has ended.
bool Fill(InputStream& source, Random& random, Batch& b, Str255& chunk) {
    b.count = 0;
    b.records_size = 0;
    while (b.count < kBatchBlocks) {
        const std::uint8_t* plain = nullptr;
        std::size_t size = source.Peek(kChunkSize, &plain);
        if (size == kChunkSize) {
            std::memcpy(b.chunks[b.count], plain, size);
            source.Consume(size);
        } else {
            ReadChunk(source, kChunkSize, chunk);
            size = chunk.size();
            std::memcpy(b.chunks[b.count], chunk.data(), size);
        }
        if (size == 0) {
            return false;
        }
        random.Bytes(b.chunks[b.count] + size, kBlockRandomBytes);
        b.chunk_size[b.count] = static_cast<std::uint8_t>(size);
        b.record_offset[b.count] = b.records_size;
        b.records_size += size + kBlockOverhead;
        ++b.count;
    }
    return true;
}

// The key chain: every block enciphered in order. The random bytes, from
// which the block keys follow, are wiped once used.
void Chain(BlockCipher& cipher, Batch& b) {
    for (std::size_t i = 0; i < b.count; ++i) {
        std::uint8_t* record = b.records + b.record_offset[i];
        const std::size_t size = b.chunk_size[i];
        record[0] = static_cast<std::uint8_t>(size + kBlockRandomBytes);
        cipher.EncipherUnsigned(b.chunks[i], size, b.chunks[i] + size, record + 1);
        volatile std::uint8_t* noise = b.chunks[i] + size;
        for (std::size_t j = 0; j < kBlockRandomBytes; ++j) {
            noise[j] = 0;
        }
    }
}

// Signatures and the byte sum, independent of the key chain.
void Sign(const BlockCipher& cipher, Batch& b) {
    b.sum = 0;
    for (std::size_t i = 0; i < b.count; ++i) {
        std::uint8_t* record = b.records + b.record_offset[i];
        cipher.Sign(record + 1, record[0], record + 1 + record[0]);
        AddToByteSum(b.sum, b.chunks[i], b.chunk_size[i]);
    }
}

BlockWriteEnd Drain(const Batch& b, OutputStream& archive, std::uint32_t& sum,
                    const BlockWriteProgress& progress) {
    sum += b.sum;
    if (!archive.Write(b.records, b.records_size)) {
        return BlockWriteEnd::kWriteFailed;
    }
    for (std::size_t i = 0; i < b.count; ++i) {
        if (!progress(b.chunk_size[i])) {
            return BlockWriteEnd::kStopped;
        }
    }
    return BlockWriteEnd::kSourceEnded;
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
    BatchRing ring([&](std::size_t s) { Chain(cipher, *batches[s]); },
                   [&](std::size_t s) { Sign(cipher, *batches[s]); });
    Str255 chunk;
    struct WipeChunk {
        Str255& s;
        ~WipeChunk() { s.Wipe(); }
    } wipe{chunk};
    BlockWriteEnd end = BlockWriteEnd::kSourceEnded;
    RunBatches(
        ring, batches, kInlineBatches, [&](Batch& b) { return Fill(source, random, b, chunk); },
        [&](const Batch& b) {
            end = Drain(b, archive, sum, progress);
            return end == BlockWriteEnd::kSourceEnded;
        });
    return end;
}

}  // namespace tazu
