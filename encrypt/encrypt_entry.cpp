#include "encrypt/encrypt_entry.h"

#include "cipher/block_cipher.h"
#include "cipher/constants.h"
#include "cipher/envelope.h"
#include "cipher/keyed.h"
#include "cipher/salt_keys.h"
#include "cipher/wipe.h"
#include "encrypt/block_pipeline.h"
#include "encrypt/encrypt_messages.h"
#include "format/format.h"
#include "io/clock.h"

namespace tazu {

namespace {

// An envelope record followed by its signature: 254 bytes.
Str255 SignedEnvelope(const Str255& data, const Str255& key, const Str255& signature_key,
                      Random& random) {
    Str255 record = Envelope(data, key, random);
    record.append(KeyedDigest(record, kSignatureSize, signature_key));
    return record;
}

// n random bytes, each uniform in 0..255, drawn straight into out (a
// returned copy would leave the key behind on the stack).
void RandomBytes(std::size_t n, Random& random, Str255& out) {
    out.resize(n);
    random.Bytes(out.data(), out.size());
}

// Block key B: 254 + Random(2) random bytes.
void MakeBlockKey(Random& random, Str255& key) {
    const std::size_t size = kBlockKeyMinSize + random.Below(2);
    RandomBytes(size, random, key);
}

// Writes block-key records for B' (its first 128 bytes, then the rest).
bool WriteBlockKeyRecords(const Str255& stored_key, const Str255& password,
                          const Str255& signature_key, OutputStream& archive, Random& random) {
    const Str255 first =
        SignedEnvelope(stored_key.substr(0, kBlockKeyPartSize), password, signature_key, random);
    if (!WriteRawBytes(first, archive)) {
        return false;
    }
    const Str255 second =
        SignedEnvelope(stored_key.substr(kBlockKeyPartSize), password, signature_key, random);
    return WriteRawBytes(second, archive);
}

bool WriteNameRecords(const Str255& stored_name, const Str255& file_key,
                      const Str255& signature_key, OutputStream& archive, Random& random) {
    const bool long_name = stored_name.size() > kShortNameMax;
    Str255 record =
        SignedEnvelope(stored_name.substr(0, kShortNameMax), file_key, signature_key, random);
    record.push_back(long_name ? kContinuationSize : kNoContinuation);
    if (!WriteRawBytes(record, archive)) {
        return false;
    }
    if (!long_name) {
        return true;
    }
    return WriteRawBytes(
        SignedEnvelope(stored_name.substr(kShortNameMax), file_key, signature_key, random),
        archive);
}

// Everything of one call that has to be wiped or closed on every way out.
struct EntrySecrets {
    Str255 salt, signature_key, file_key, b1, b2, b1_stored, b2_stored;
    ~EntrySecrets() {
        salt.Wipe();
        signature_key.Wipe();
        file_key.Wipe();
        b1.Wipe();
        b2.Wipe();
        b1_stored.Wipe();
        b2_stored.Wipe();
    }
};

bool BadArguments(const Str255& password, const Str255& personal_code, const Str255& key_mark,
                  const std::filesystem::path& source_path, const Str255& stored_name) {
    return password.empty() || personal_code.empty() || key_mark.empty() ||
           key_mark.size() > kMaxKeyMarkSize || source_path.empty() || stored_name.empty();
}

// Everything from the version marker on, with the source open.
bool WriteEntry(const Str255& password, const Str255& personal_code, const Str255& key_mark,
                InputStream& source, const Str255& stored_name, bool use_personal_code,
                Str255& entry_chain, OutputStream& archive, EncryptCode& result_code,
                const EncryptContext& ctx) {
    EncryptRunState& state = ctx.state;
    Random& random = ctx.random;
    // Any failed write leaves a broken entry behind: the run stops.
    auto write_failed = [&] {
        result_code = EncryptCode::kWriteFailed;
        state.EncryptCancelled = true;
        return false;
    };

    if (!archive.Write(reinterpret_cast<const std::uint8_t*>(kMarker07.data()), kMarkerSize)) {
        return write_failed();
    }

    EntrySecrets k;
    const std::size_t salt_size = kSaltMinSize + random.Below(kSaltExtraRange);
    RandomBytes(salt_size, random, k.salt);
    Str255 salt_record = DoubleEnvelope(k.salt, password, random);
    salt_record.append(KeyedDigest(salt_record, kSignatureSize, BuiltInKey()));
    if (!WriteRawBytes(salt_record, archive)) {
        return write_failed();
    }

    k.signature_key = RecordSignatureKey(k.salt);
    const Str255& signature_key = k.signature_key;
    AppendToEntryChain(entry_chain, k.salt, signature_key);
    k.file_key = SaltRecordKey(k.salt);

    if (!WriteRawBytes(SignedEnvelope(key_mark, k.file_key, signature_key, random), archive) ||
        !WriteNameRecords(stored_name, k.file_key, signature_key, archive, random)) {
        return write_failed();
    }

    MakeBlockKey(random, k.b1);
    k.b1_stored = use_personal_code ? KeyedAdd(k.b1, personal_code) : k.b1;
    if (!WriteBlockKeyRecords(k.b1_stored, password, signature_key, archive, random)) {
        return write_failed();
    }
    MakeBlockKey(random, k.b2);
    k.b2_stored = use_personal_code ? KeyedAdd(k.b2, personal_code) : k.b2;
    if (!WriteBlockKeyRecords(k.b2_stored, password, signature_key, archive, random)) {
        return write_failed();
    }

    std::int32_t blocks_since = 0;
    std::int64_t bytes_since = 0;
    std::uint32_t sum = 0;
    TimeOfDay t0 = CurrentTimeOfDay();
    // KeyedAdd(KeyedAdd(chunk + noise, B1), B2), its signature, and
    // B1 := KeyedAdd(B1, noise), fused.
    BlockCipher blocks(k.b1, k.b2, signature_key);
    // Counts a written block for the progress display; false when the run
    // was cancelled.
    auto count_block = [&](std::size_t size) {
        bytes_since += static_cast<std::int64_t>(size);
        ++blocks_since;
        if (blocks_since > state.EncryptBlocksPerUpdate) {
            AdaptBlocksPerUpdate(state.EncryptBlocksPerUpdate,
                                 ElapsedSeconds(t0, CurrentTimeOfDay()));
            ctx.host.addBytesProcessed(bytes_since);
            if (state.EncryptCancelled) {
                result_code = EncryptCode::kCancelled;
                return false;
            }
            bytes_since = 0;
            blocks_since = 0;
            ctx.host.processEvents();
            t0 = CurrentTimeOfDay();
        }
        return true;
    };
    // On all processors when there are more than one; the loop below then
    // finds the source at its end.
    const BlockWriteEnd end = EncipherBlocks(source, blocks, random, archive, sum, count_block);
    if (end == BlockWriteEnd::kWriteFailed) {
        return write_failed();
    }
    if (end == BlockWriteEnd::kStopped) {
        return false;
    }
    Str255 chunk;
    for (;;) {
        // The chunk straight from the reader's buffer when it lies there
        // whole, else copied together; the record straight into the
        // writer's buffer when it has room.
        const std::uint8_t* plain = nullptr;
        std::size_t size = source.Peek(kChunkSize, &plain);
        if (size == kChunkSize) {
            source.Consume(size);
        } else {
            ReadChunk(source, kChunkSize, chunk);
            plain = chunk.data();
            size = chunk.size();
        }
        if (size == 0) {
            break;
        }
        AddToByteSum(sum, plain, size);
        std::uint8_t noise[kBlockRandomBytes];
        random.Bytes(noise, sizeof noise);
        const std::size_t n = size + kBlockRandomBytes;
        const std::size_t record_size = n + 1 + kSignatureSize;
        std::uint8_t local[kMaxBlockRecordSize];
        std::uint8_t* in_place = archive.Reserve(record_size);
        std::uint8_t* record = in_place ? in_place : local;
        record[0] = static_cast<std::uint8_t>(n);
        blocks.Encipher(plain, size, noise, record + 1, record + 1 + n);
        if (in_place) {
            archive.Commit(record_size);
        } else if (!archive.Write(record, record_size)) {
            return write_failed();
        }
        if (!count_block(size)) {
            return false;
        }
    }
    chunk.Wipe();

    Str255 end_record;
    end_record.push_back(kEndRecordMarker);
    end_record.append(KeyedDigest(ByteSumText(sum), kSignatureSize, signature_key));
    if (!WriteRawBytes(end_record, archive)) {
        return write_failed();
    }
    ctx.host.addBytesProcessed(bytes_since);
    return true;
}

// Both forms of EncryptEntry: the source is opened here unless given. Out
// of line, so that the stack it used lies below the callers' wipe.
[[gnu::noinline]] bool EncryptSource(const Str255& password, const Str255& personal_code,
                                     const Str255& key_mark, InputStream* source,
                                     const std::filesystem::path& source_path,
                                     const Str255& stored_name, bool use_personal_code,
                                     Str255& entry_chain, OutputStream& archive,
                                     EncryptCode& result_code, const EncryptContext& ctx) {
    if (BadArguments(password, personal_code, key_mark, source_path, stored_name)) {
        result_code = EncryptCode::kBadArgument;
        return false;
    }
    FileReader file;
    if (source == nullptr) {
        if (!file.Open(source_path)) {
            ctx.host.appendReport(ReadErrorReportLine(source_path.native()));
            return false;
        }
        source = &file;
    }
    return WriteEntry(password, personal_code, key_mark, *source, stored_name, use_personal_code,
                      entry_chain, archive, result_code, ctx);
}

}  // namespace

bool EncryptEntry(const Str255& password, const Str255& personal_code, const Str255& key_mark,
                  const std::filesystem::path& source_path, const Str255& stored_name,
                  bool use_personal_code, Str255& entry_chain, OutputStream& archive,
                  EncryptCode& result_code, const EncryptContext& ctx) {
    const bool done =
        EncryptSource(password, personal_code, key_mark, nullptr, source_path, stored_name,
                      use_personal_code, entry_chain, archive, result_code, ctx);
    WipeStackBelow();
    return done;
}

bool EncryptEntry(const Str255& password, const Str255& personal_code, const Str255& key_mark,
                  InputStream& source, const std::filesystem::path& source_path,
                  const Str255& stored_name, bool use_personal_code, Str255& entry_chain,
                  OutputStream& archive, EncryptCode& result_code, const EncryptContext& ctx) {
    const bool done =
        EncryptSource(password, personal_code, key_mark, &source, source_path, stored_name,
                      use_personal_code, entry_chain, archive, result_code, ctx);
    WipeStackBelow();
    return done;
}

}  // namespace tazu
