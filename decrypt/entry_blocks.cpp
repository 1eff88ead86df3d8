// The data blocks of an entry: version 07 through the fused cipher (in
// place when a block lies whole in the reader's buffer), the older versions
// one transform at a time.
#include "decrypt/entry_blocks.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "cipher/block_cipher.h"
#include "decrypt/block_pipeline.h"
#include "decrypt/recovery.h"
#include "format/format.h"

namespace tazu {

namespace {

// Deciphers one block of the older formats, whose length byte said
// declared bytes: returns the plaintext and advances the running block key
// by the block's random bytes, its last 7 bytes (all of them for a block of
// 7 bytes or fewer, which carries no data). The plaintext is the first
// declared - 7 bytes of the deciphered block, so a block cut short by the
// end of the archive keeps every byte that came (its random bytes are what
// is missing).
Str255 DecipherBlock(const EntryRules& rules, EntryKeys& keys, const Str255& ciphertext,
                     std::size_t declared) {
    Str255 x = ciphertext;
    if (rules.personal_code) {
        x = rules.pair.sub(x, keys.second_block_key);
    }
    x = rules.pair.sub(x, keys.block_key);
    const std::size_t plain =
        std::min(x.size(), declared > kBlockRandomBytes ? declared - kBlockRandomBytes : 0);
    if (x.size() == declared) {
        keys.block_key = rules.pair.add(keys.block_key, x.substr(plain));
    }
    x.resize(plain);
    return x;
}

// In a recovering run, a block whose signature fails may be where the
// entry was cut and the next one begins: the next entry's header then
// starts within the bytes taken for this block. The stream is at the
// block's start (its mark) or past what was read of it; when an entry
// starts inside, it is left right before that entry.
bool NextEntryStartsInBlock(EntryContext& context, int version, std::size_t block_size) {
    Recovery* recovery = context.recovery;
    if (recovery == nullptr) {
        return false;
    }
    RewindableInput& in = recovery->in;
    const std::uint64_t after = in.Position();
    in.RewindToMark();
    std::size_t offset = 0;
    if (LocateEntryStart(in, version, recovery->password, block_size, offset)) {
        in.Consume(offset);
        ++context.state.recovered;
        return true;
    }
    in.Consume(static_cast<std::size_t>(after - in.MarkedAt()));
    return false;
}

enum class BlockStep {
    kNext,  // on to the next block
    kEnd,   // the blocks ended
    kFail,  // the entry failed (result_code set)
};

// What a step means for the loop over the blocks: nothing after kNext (it
// goes on), else its result: true when the blocks ended, false on failure.
std::optional<bool> LoopResult(BlockStep step) {
    if (step == BlockStep::kNext) {
        return std::nullopt;
    }
    return step == BlockStep::kEnd;
}

// Reads the next block record into state: false at the end record (its
// signature read into end_signature) or the end of the file. more is false
// when the file ended inside the block.
bool ReadBlockRecord(InputStream& file, BlockState& state, bool& more) {
    Str255& length = state.length;
    if (!ReadChunk(file, 1, length)) {
        return false;
    }
    if (length[0] == kEndRecordMarker) {
        ReadChunk(file, kSignatureSize, state.end_signature);
        return false;
    }
    ReadChunk(file, length[0], state.ciphertext);
    more = ReadChunk(file, kSignatureSize, state.signature);
    return true;
}

// Counts a block with plaintext for the progress window, which hears of
// the bytes every so many blocks; false when the user aborted (result_code
// kAborted; the target removes its temporary file).
bool CountBlock(EntryContext& context, BlockState& state, std::size_t plain_size,
                DecryptCode& result_code) {
    state.pending_bytes += static_cast<std::int64_t>(plain_size);
    if (++state.pending_blocks <= context.state.DecryptBlocksPerUpdate) {
        return true;
    }
    const TimeOfDay now = CurrentTimeOfDay();
    AdaptBlocksPerUpdate(context.state.DecryptBlocksPerUpdate,
                         ElapsedSeconds(state.last_update, now));
    context.host.AddBytesProcessed(state.pending_bytes);
    if (context.state.DecryptCancelled) {
        result_code = DecryptCode::kAborted;
        return false;
    }
    context.host.ProcessEvents();
    state.pending_bytes = 0;
    state.pending_blocks = 0;
    state.last_update = CurrentTimeOfDay();
    return true;
}

// What follows every block: its bytes are added to the byte sum and
// written, and the progress window hears of them.
BlockStep TakeBlock(EntryContext& context, BlockState& state, const std::uint8_t* plain,
                    std::size_t plain_size, bool written, bool more, DecryptCode& result_code) {
    AddToByteSum(state.sum, plain, plain_size);
    if (!written && plain_size > 0 && !state.out->Write(plain, plain_size)) {
        result_code = DecryptCode::kWriteError;
        return BlockStep::kFail;  // the target removes its temporary file
    }
    if (!more) {
        return BlockStep::kEnd;  // cut inside a block: no end record
    }
    if (plain_size == 0) {
        return BlockStep::kNext;  // blocks of 7 bytes or fewer count for nothing
    }
    return CountBlock(context, state, plain_size, result_code) ? BlockStep::kNext
                                                               : BlockStep::kFail;
}

// One deciphered block: where its plaintext is, and whether it is already
// in the output (deciphered into the writer's buffer).
struct Block {
    const std::uint8_t* plain = nullptr;
    std::size_t plain_size = 0;
    bool written = false;
    bool more = true;  // false when the file ended inside the block
};

// A version-07 block of length byte n whose record lies whole in the
// reader's buffer at record: checked and deciphered in place, into the
// writer's buffer when it has room. False when the next entry starts inside
// it (state.cut).
bool DecipherInPlace07(EntryContext& context, const EntryRules& rules, BlockCipher* current,
                       const std::uint8_t* record, std::size_t n, std::uint8_t* local,
                       BlockState& state, Block& block) {
    OutputStream* const out = state.out;
    const std::uint8_t* c = record + 1;  // re-pointed after a search
    if (!current->Verify(c, n, c + n)) {
        ++state.damaged;
        if (NextEntryStartsInBlock(context, rules.version, 1 + n + kSignatureSize)) {
            state.cut = true;
            return false;
        }
        if (context.recovery != nullptr) {
            // The search may have moved the buffer: the block again.
            context.file.Peek(1 + n + kSignatureSize, &record);
            c = record + 1;
        }
    }
    std::uint8_t* in_place = out->Reserve(n);
    std::uint8_t* x = in_place ? in_place : local;
    const std::size_t got = current->Decipher(c, n, x);
    context.file.Consume(1 + n + kSignatureSize);
    block.plain = x;
    block.plain_size = got > kBlockRandomBytes ? got - kBlockRandomBytes : 0;
    if (in_place) {
        out->Commit(block.plain_size);
        block.written = true;
    }
    return true;
}

// A version-07 block read record by record (it is not whole in the
// reader's buffer) and deciphered into local. False at the end of the
// blocks, or when the next entry starts inside it (state.cut).
bool DecipherRead07(EntryContext& context, const EntryRules& rules, BlockCipher* current,
                    std::uint8_t* local, BlockState& state, Block& block) {
    if (!ReadBlockRecord(context.file, state, block.more)) {
        return false;
    }
    const Str255& ciphertext = state.ciphertext;
    const Str255& signature = state.signature;
    if (!(signature.size() == kSignatureSize &&
          current->Verify(ciphertext.data(), ciphertext.size(), signature.data()))) {
        ++state.damaged;
        if (NextEntryStartsInBlock(context, rules.version, 1 + state.length[0] + kSignatureSize)) {
            state.cut = true;
            return false;
        }
    }
    if (!ciphertext.empty()) {
        const std::size_t got = current->Decipher(ciphertext.data(), ciphertext.size(), local);
        block.plain_size = got > kBlockRandomBytes ? got - kBlockRandomBytes : 0;
    }
    block.plain = local;
    return true;
}

// The blocks through the threads of the block pipeline: kEnd when the data
// ended inside a block, kFail on a write failure or an abort.
BlockStep DecipherOnAllProcessors(EntryContext& context, BlockCipher& cipher, BlockState& state,
                                  DecryptCode& result_code) {
    BlockRunTotals totals;
    // One pointer, which the progress callback holds without allocating.
    struct {
        EntryContext& context;
        BlockState& state;
        DecryptCode& result_code;
    } run{context, state, result_code};
    const BlockRunEnd end = DecipherBlocks(
        context.file, cipher, *state.out, totals,
        [&run](std::size_t plain_size) {
            return CountBlock(run.context, run.state, plain_size, run.result_code);
        },
        context.scratch.batches);
    state.damaged += totals.damaged;
    state.sum += totals.sum;
    switch (end) {
        case BlockRunEnd::kRecordBoundary:
            return BlockStep::kNext;
        case BlockRunEnd::kCutInsideBlock:
            return BlockStep::kEnd;  // no end record follows
        case BlockRunEnd::kWriteFailed:
            result_code = DecryptCode::kWriteError;
            return BlockStep::kFail;  // the target removes its temporary file
        case BlockRunEnd::kStopped:
            break;  // result_code is kAborted
    }
    return BlockStep::kFail;
}

}  // namespace

bool DecryptBlocks07(EntryContext& context, const EntryRules& rules, const EntryKeys& keys,
                     BlockState& state, DecryptCode& result_code) {
    BlockCipher cipher(keys.block_key, keys.second_block_key, keys.record_signature_key);
    BlockCipher* const current = &cipher;
    if (context.recovery == nullptr) {
        // Outside a recovering run the blocks go on all processors; the loop
        // below then goes on from where they stopped (at the end record, or
        // at the start of a small entry, which stays on this thread).
        if (const auto done =
                LoopResult(DecipherOnAllProcessors(context, cipher, state, result_code))) {
            return *done;
        }
    }
    for (;;) {
        if (context.recovery != nullptr) {
            context.recovery->in.Mark();  // the block starts here
        }
        std::uint8_t local[Str255::kCapacity];
        Block block;
        const std::uint8_t* head = nullptr;
        const std::uint8_t* record = nullptr;
        std::size_t n = 0;
        if (context.file.Peek(1, &head) == 1 && head[0] != kEndRecordMarker) {
            n = head[0];
            if (context.file.Peek(1 + n + kSignatureSize, &record) != 1 + n + kSignatureSize) {
                record = nullptr;  // not whole in the buffer: read it below
            }
        }
        const bool deciphered =
            record != nullptr
                ? DecipherInPlace07(context, rules, current, record, n, local, state, block)
                : DecipherRead07(context, rules, current, local, state, block);
        if (!deciphered) {
            return true;
        }
        if (const auto done = LoopResult(TakeBlock(context, state, block.plain, block.plain_size,
                                                   block.written, block.more, result_code))) {
            return *done;
        }
    }
}

bool DecryptOlderBlocks(EntryContext& context, const EntryRules& rules, EntryKeys& keys,
                        BlockState& state, DecryptCode& result_code) {
    for (;;) {
        if (context.recovery != nullptr) {
            context.recovery->in.Mark();  // the block starts here
        }
        std::uint8_t local[Str255::kCapacity];
        bool more = true;
        if (!ReadBlockRecord(context.file, state, more)) {
            return true;
        }
        if (rules.check_blocks && !SignatureMatches(rules, state.ciphertext, state.signature,
                                                    keys.record_signature_key)) {
            ++state.damaged;
            if (NextEntryStartsInBlock(context, rules.version,
                                       1 + state.length[0] + kSignatureSize)) {
                state.cut = true;
                return true;
            }
        }
        const Str255 older = DecipherBlock(rules, keys, state.ciphertext, state.length[0]);
        std::memcpy(local, older.data(), older.size());
        if (const auto done = LoopResult(
                TakeBlock(context, state, local, older.size(), false, more, result_code))) {
            return *done;
        }
    }
}

}  // namespace tazu
