#include "decrypt/entry_data.h"

#include <algorithm>
#include <optional>
#include <string>

#include "cipher/block_cipher.h"
#include "encrypt/clock.h"
#include "encrypt/format.h"

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

// Deciphers one block of the older formats: returns the plaintext and
// advances the running block key by the block's random bytes.
Str255 DecipherBlock(const EntryRules& rules, EntryKeys& keys, const Str255& ciphertext) {
    Str255 x = ciphertext;
    if (rules.personal_code) {
        x = CipherSub(rules.pair, x, keys.second_block_key);
    }
    x = CipherSub(rules.pair, x, keys.block_key);
    const std::size_t plain = x.size() > kBlockRandomBytes ? x.size() - kBlockRandomBytes : 0;
    const Str255 random_bytes = x.substr(plain);
    if (!random_bytes.empty()) {
        keys.block_key = CipherAdd(rules.pair, keys.block_key, random_bytes);
    }
    x.resize(plain);
    return x;
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
    if (context.write_files) {
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
    while (ReadChunk(context.file, 1, length)) {
        if (length[0] == kEndRecordMarker) {
            ReadChunk(context.file, kSignatureSize, end_signature);
            break;
        }
        ReadChunk(context.file, length[0], ciphertext);
        const bool more = ReadChunk(context.file, kSignatureSize, signature);
        Str255 plain;
        if (current) {
            // Version 07: both block keys and the signature through the
            // fused cipher, which gives the same bytes as the transforms.
            if (!(signature.size() == kSignatureSize &&
                  current->Verify(ciphertext.data(), ciphertext.size(), signature.data()))) {
                ++damaged;
            }
            if (!ciphertext.empty()) {
                std::uint8_t x[Str255::kCapacity];
                const std::size_t got = current->Decipher(ciphertext.data(), ciphertext.size(), x);
                plain = Str255::FromBytes(x, got > kBlockRandomBytes ? got - kBlockRandomBytes : 0);
            }
        } else {
            if (rules.check_blocks &&
                !SignatureMatches(rules, ciphertext, signature, keys.record_signature_key)) {
                ++damaged;
            }
            plain = DecipherBlock(rules, keys, ciphertext);
        }
        AddToByteSum(sum, plain);
        if (!WriteRawBytes(plain, *out)) {
            resultCode = DecryptCode::kWriteError;
            return false;  // the target removes its temporary file
        }
        if (!more) {
            break;  // cut inside a block: no end record
        }
        if (plain.empty()) {
            continue;  // blocks of 7 bytes or fewer count for nothing
        }
        pending_bytes += static_cast<std::int64_t>(plain.size());
        if (++pending_blocks <= context.state.blocks_per_update) {
            continue;
        }
        const TimeOfDay now = CurrentTimeOfDay();
        AdaptBlocksPerUpdate(context.state.blocks_per_update, ElapsedSeconds(last_update, now));
        context.host.addBytesProcessed(pending_bytes);
        if (context.state.abort) {
            resultCode = DecryptCode::kAborted;
            return false;  // the target removes its temporary file
        }
        context.host.processEvents();
        pending_bytes = 0;
        pending_blocks = 0;
        last_update = CurrentTimeOfDay();
    }

    const Str255 sum_text = DecimalText(static_cast<std::int32_t>(sum));
    if (!SignatureMatches(rules, sum_text, end_signature, keys.record_signature_key)) {
        context.host.appendReport(prefix + path + " - поврежден");
    } else if (damaged > 0) {
        context.host.appendReport(prefix + path +
                                  " - поврежден (блоков: " + std::to_string(damaged) + " ).");
    }
    context.host.addBytesProcessed(pending_bytes);
    if (context.write_files && !target.Commit()) {
        resultCode = DecryptCode::kWriteError;
        return false;
    }
    resultCode = DecryptCode::kOk;
    return rules.flag_when_done;
}

}  // namespace tazu
