#include "decrypt/entry_data.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "cipher/block_cipher.h"
#include "decrypt/block_pipeline.h"
#include "decrypt/recovery.h"
#include "format/format.h"
#include "io/clock.h"

namespace tazu {

namespace {

constexpr std::int32_t kSkipBlocksPerUpdate = 1024;

// Discards what a check-only run would have written.
class NullOutput final : public OutputStream {
  public:
    bool Write(const std::uint8_t*, std::size_t) override { return true; }
    bool Flush() override { return true; }
};

bool SkipWithLine(EntryContext& context, const std::string& line, DecryptCode& resultCode) {
    const bool skipped = SkipEntryBlocks(context.file, context.host, context.state, resultCode);
    if (!line.empty()) {
        context.host.appendReport(line);
    }
    return skipped;
}

// Deciphers one block of the older formats, whose length byte said
// declared bytes: returns the plaintext and advances the running block key
// by the block's random bytes. The plaintext is the first declared - 7
// bytes of the deciphered block, so a block cut short by the end of the
// archive keeps every byte that came (its random bytes are what is
// missing).
Str255 DecipherBlock(const EntryRules& rules, EntryKeys& keys, const Str255& ciphertext,
                     std::size_t declared) {
    Str255 x = ciphertext;
    if (rules.personal_code) {
        x = CipherSub(rules.pair, x, keys.second_block_key);
    }
    x = CipherSub(rules.pair, x, keys.block_key);
    const std::size_t plain =
        std::min(x.size(), declared > kBlockRandomBytes ? declared - kBlockRandomBytes : 0);
    if (x.size() == declared && declared > kBlockRandomBytes) {
        keys.block_key = CipherAdd(rules.pair, keys.block_key, x.substr(plain));
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
    const std::uint64_t after = in.position();
    in.RewindToMark();
    std::size_t offset = 0;
    if (LocateEntryStart(in, version, recovery->password, block_size, offset)) {
        in.Consume(offset);
        ++context.state.recovered;
        return true;
    }
    in.Consume(static_cast<std::size_t>(after - in.mark()));
    return false;
}

}  // namespace

bool SkipEntryBlocks(InputStream& file, DecryptHost& host, DecryptRunState& state,
                     DecryptCode& resultCode) {
    std::int32_t blocks = 0;
    std::int64_t bytes = 0;
    Str255 chunk;
    while (true) {
        if (!ReadChunk(file, 1, chunk)) {
            return true;
        }
        const std::size_t n = chunk[0];
        if (n == 0) {
            ReadChunk(file, kSignatureSize, chunk);
            return true;
        }
        if (!ReadChunk(file, n, chunk) || !ReadChunk(file, kSignatureSize, chunk)) {
            return true;
        }
        ++blocks;
        bytes += std::max<std::int64_t>(0, static_cast<std::int64_t>(n) - 9);
        if (blocks > kSkipBlocksPerUpdate) {
            host.addBytesProcessed(bytes);
            if (state.abort) {
                resultCode = DecryptCode::kAborted;
                return false;
            }
            host.processEvents();
            blocks = 0;
            bytes = 0;
        }
    }
}

bool ExtractEntryData(EntryContext& context, const EntryRules& rules, EntryKeys& keys,
                      DecryptCode& resultCode) {
    if (!context.host.wantsEntry(keys.stored_name.str())) {
        return SkipWithLine(context, "", resultCode);
    }
    const std::string prefix = rules.line_prefix;
    std::vector<std::string> components;
    if (!SplitStoredName(keys.stored_name, components)) {
        SkipWithLine(context, prefix + keys.stored_name.str() + " - пропущен, недопустимое имя",
                     resultCode);
        return false;
    }
    const std::string path = JoinOutputPath(context.destination, components).string();

    OutputTarget target;
    NullOutput discard;
    OutputStream* out = &discard;
    OutputStream* const stream = context.write_files ? context.host.entryStream() : nullptr;
    if (stream != nullptr) {
        out = stream;
    } else if (context.write_files) {
        const auto status = target.Prepare(context.destination, components, context.archive);
        if (status == OutputTarget::Status::kExists) {
            switch (context.host.askExistingFile(path)) {
                case ExistingFileChoice::Skip:
                    return SkipWithLine(
                        context,
                        rules.skip_line ? prefix + path + " - пропущен, уже существует" : "",
                        resultCode);
                case ExistingFileChoice::Cancel:
                    resultCode = DecryptCode::kAborted;
                    context.state.abort = true;
                    return false;
                case ExistingFileChoice::Replace:
                    break;
            }
        }
        if (status == OutputTarget::Status::kNoAccess || !target.CreateTemporary()) {
            SkipWithLine(context, prefix + path + " - пропущен, нет доступа", resultCode);
            return false;
        }
        out = &target.stream();
    }

    std::int32_t damaged = 0;
    std::uint32_t sum = 0;
    std::int64_t pending_bytes = 0;
    std::int32_t pending_blocks = 0;
    TimeOfDay last_update = CurrentTimeOfDay();
    Str255 end_signature;
    Str255 length;
    Str255 ciphertext;
    Str255 signature;
    std::optional<BlockCipher> current;
    if (rules.personal_code) {
        current.emplace(keys.block_key, keys.second_block_key, keys.record_signature_key);
    }
    bool cut = false;  // the next entry was found inside this one's blocks
    // Counts a block with plaintext for the progress display; false when the
    // user aborted.
    auto count_block = [&](std::size_t plain_size) {
        pending_bytes += static_cast<std::int64_t>(plain_size);
        if (++pending_blocks <= context.state.blocks_per_update) {
            return true;
        }
        const TimeOfDay now = CurrentTimeOfDay();
        AdaptBlocksPerUpdate(context.state.blocks_per_update, ElapsedSeconds(last_update, now));
        context.host.addBytesProcessed(pending_bytes);
        if (context.state.abort) {
            resultCode = DecryptCode::kAborted;
            return false;
        }
        context.host.processEvents();
        pending_bytes = 0;
        pending_blocks = 0;
        last_update = CurrentTimeOfDay();
        return true;
    };
    bool data_ended = false;  // inside a block: no end record follows
    if (current && context.recovery == nullptr) {
        // Version 07 outside a recovering run: on all processors.
        BlockRunTotals totals;
        const BlockRunEnd end = DecipherBlocks(context.file, *current, *out, totals, count_block);
        damaged += totals.damaged;
        sum += totals.sum;
        if (end == BlockRunEnd::kWriteFailed) {
            resultCode = DecryptCode::kWriteError;
            return false;  // the target removes its temporary file
        }
        if (end == BlockRunEnd::kStopped) {
            return false;
        }
        data_ended = end == BlockRunEnd::kCutInsideBlock;
    }
    while (!data_ended) {
        if (context.recovery != nullptr) {
            context.recovery->in.Mark();  // the block starts here
        }
        std::uint8_t local[Str255::kCapacity];
        const std::uint8_t* plain = nullptr;
        std::size_t plain_size = 0;
        bool written = false;
        bool more = true;
        const std::uint8_t* head = nullptr;
        const std::uint8_t* record = nullptr;
        std::size_t n = 0;
        if (current && context.file.Peek(1, &head) == 1 && head[0] != kEndRecordMarker) {
            n = head[0];
            if (context.file.Peek(1 + n + kSignatureSize, &record) != 1 + n + kSignatureSize) {
                record = nullptr;  // not whole in the buffer: read it below
            }
        }
        if (record != nullptr) {
            // Version 07 with the whole block in the reader's buffer: checked
            // and deciphered in place, into the writer's buffer when it has
            // room.
            const std::uint8_t* c = record + 1;  // re-pointed after a search
            if (!current->Verify(c, n, c + n)) {
                ++damaged;
                if (NextEntryStartsInBlock(context, rules.version, 1 + n + kSignatureSize)) {
                    cut = true;
                    break;
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
            plain = x;
            plain_size = got > kBlockRandomBytes ? got - kBlockRandomBytes : 0;
            if (in_place) {
                out->Commit(plain_size);
                written = true;
            }
        } else {
            if (!ReadChunk(context.file, 1, length)) {
                break;
            }
            if (length[0] == kEndRecordMarker) {
                ReadChunk(context.file, kSignatureSize, end_signature);
                break;
            }
            ReadChunk(context.file, length[0], ciphertext);
            more = ReadChunk(context.file, kSignatureSize, signature);
            if (current) {
                // Version 07: both block keys and the signature through the
                // fused cipher, which gives the same bytes as the transforms.
                if (!(signature.size() == kSignatureSize &&
                      current->Verify(ciphertext.data(), ciphertext.size(), signature.data()))) {
                    ++damaged;
                    if (NextEntryStartsInBlock(context, rules.version,
                                               1 + length[0] + kSignatureSize)) {
                        cut = true;
                        break;
                    }
                }
                if (!ciphertext.empty()) {
                    const std::size_t got =
                        current->Decipher(ciphertext.data(), ciphertext.size(), local);
                    plain_size = got > kBlockRandomBytes ? got - kBlockRandomBytes : 0;
                }
                plain = local;
            } else {
                if (rules.check_blocks &&
                    !SignatureMatches(rules, ciphertext, signature, keys.record_signature_key)) {
                    ++damaged;
                    if (NextEntryStartsInBlock(context, rules.version,
                                               1 + length[0] + kSignatureSize)) {
                        cut = true;
                        break;
                    }
                }
                const Str255 older = DecipherBlock(rules, keys, ciphertext, length[0]);
                std::memcpy(local, older.data(), older.size());
                plain = local;
                plain_size = older.size();
            }
        }
        AddToByteSum(sum, plain, plain_size);
        if (!written && plain_size > 0 && !out->Write(plain, plain_size)) {
            resultCode = DecryptCode::kWriteError;
            return false;  // the target removes its temporary file
        }
        if (!more) {
            break;  // cut inside a block: no end record
        }
        // Blocks of 7 bytes or fewer count for nothing.
        if (plain_size > 0 && !count_block(plain_size)) {
            return false;  // the target removes its temporary file
        }
    }

    const Str255 sum_text = DecimalText(static_cast<std::int32_t>(sum));
    if (cut || !SignatureMatches(rules, sum_text, end_signature, keys.record_signature_key)) {
        context.host.appendReport(prefix + path + " - поврежден");
    } else if (damaged > 0) {
        context.host.appendReport(prefix + path +
                                  " - поврежден (блоков: " + std::to_string(damaged) + " ).");
    }
    context.host.addBytesProcessed(pending_bytes);
    if (context.write_files && stream == nullptr && !target.Commit()) {
        resultCode = DecryptCode::kWriteError;
        return false;
    }
    resultCode = DecryptCode::kOk;
    return rules.flag_when_done;
}

}  // namespace tazu
