#include "encrypt/encrypt_entry.h"

#include <cstdlib>
#include <optional>
#include <system_error>

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
#include "io/file_identity.h"
#include "io/native.h"

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

// Test hook: with TAZU_TEST_CHANGE_SOURCE in the environment, every file
// this opens is cut to half its length once its stamp was taken, so that a
// test sees a source change while it is read without racing another process.
void ChangeSourceForTest(const std::filesystem::path& path) {
    if (std::getenv("TAZU_TEST_CHANGE_SOURCE") == nullptr) {
        return;
    }
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (!ec) {
        std::filesystem::resize_file(path, size / 2, ec);
    }
}

// Any failed write leaves a broken entry behind: the run stops.
bool WriteFailed(EncryptCode& result_code, EncryptRunState& state) {
    result_code = EncryptCode::kWriteFailed;
    state.EncryptCancelled = true;
    return false;
}

// The header records: the version marker, the salt, the key mark, the name
// and both block keys. Leaves the keys the blocks need in k and adds the
// salt to the archive's EntryChain.
bool WriteHeaderRecords(const EncryptSecrets& secrets, const Str255& stored_name,
                        Str255& entry_chain, OutputStream& archive, Random& random,
                        EntrySecrets& k) {
    const Str255& password = secrets.password;
    if (!archive.Write(reinterpret_cast<const std::uint8_t*>(kMarker07.data()), kMarkerSize)) {
        return false;
    }

    const std::size_t salt_size = kSaltMinSize + random.Below(kSaltExtraRange);
    RandomBytes(salt_size, random, k.salt);
    Str255 salt_record = DoubleEnvelope(k.salt, password, random);
    salt_record.append(KeyedDigest(salt_record, kSignatureSize, BuiltInKey()));
    if (!WriteRawBytes(salt_record, archive)) {
        return false;
    }

    k.signature_key = RecordSignatureKey(k.salt);
    const Str255& signature_key = k.signature_key;
    AppendToEntryChain(entry_chain, k.salt, signature_key);
    k.file_key = SaltRecordKey(k.salt);

    if (!WriteRawBytes(SignedEnvelope(secrets.key_mark, k.file_key, signature_key, random),
                       archive) ||
        !WriteNameRecords(stored_name, k.file_key, signature_key, archive, random)) {
        return false;
    }

    const bool use_personal_code = secrets.use_personal_code;
    MakeBlockKey(random, k.b1);
    k.b1_stored = use_personal_code ? KeyedAdd(k.b1, secrets.personal_code) : k.b1;
    if (!WriteBlockKeyRecords(k.b1_stored, password, signature_key, archive, random)) {
        return false;
    }
    MakeBlockKey(random, k.b2);
    k.b2_stored = use_personal_code ? KeyedAdd(k.b2, secrets.personal_code) : k.b2;
    return WriteBlockKeyRecords(k.b2_stored, password, signature_key, archive, random);
}

// The blocks one after the other on this thread: all of a small entry's,
// and whatever the blocks on all processors left.
template <typename CountBlock, typename WriteFailedFn>
bool WriteBlocksInTurn(InputStream& source, BlockCipher& blocks, Random& random,
                       OutputStream& archive, std::uint32_t& sum, CountBlock& count_block,
                       WriteFailedFn& write_failed) {
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
    return true;
}

// The data blocks, until the source ends: adds up the byte sum and leaves
// the bytes not yet reported to the progress window in bytes_since.
// Each block is KeyedAdd(KeyedAdd(chunk + noise, B1), B2) with its
// signature, and B1 := KeyedAdd(B1, noise), fused in BlockCipher.
bool WriteBlocks(InputStream& source, const EntrySecrets& k, OutputStream& archive,
                 std::uint32_t& sum, std::int64_t& bytes_since, EncryptCode& result_code,
                 const EncryptContext& ctx) {
    EncryptRunState& state = ctx.state;
    Random& random = ctx.random;
    auto write_failed = [&] { return WriteFailed(result_code, state); };
    std::int32_t blocks_since = 0;
    TimeOfDay t0 = CurrentTimeOfDay();
    BlockCipher blocks(k.b1, k.b2, k.signature_key);
    // Counts a written block for the progress display; false when the run
    // was cancelled.
    auto count_block = [&](std::size_t size) {
        bytes_since += static_cast<std::int64_t>(size);
        ++blocks_since;
        if (blocks_since > state.EncryptBlocksPerUpdate) {
            AdaptBlocksPerUpdate(state.EncryptBlocksPerUpdate,
                                 ElapsedSeconds(t0, CurrentTimeOfDay()));
            ctx.host.AddBytesProcessed(bytes_since);
            if (state.EncryptCancelled) {
                result_code = EncryptCode::kCancelled;
                return false;
            }
            bytes_since = 0;
            blocks_since = 0;
            ctx.host.ProcessEvents();
            t0 = CurrentTimeOfDay();
        }
        return true;
    };
    // On all processors when there are more than one; WriteBlocksInTurn
    // then writes what is left (nothing, or all of a small entry).
    // By reference: the callback then needs no memory of its own.
    const BlockWriteEnd end =
        EncipherBlocks(source, blocks, random, archive, sum, std::ref(count_block));
    if (end == BlockWriteEnd::kWriteFailed) {
        return write_failed();
    }
    if (end == BlockWriteEnd::kStopped) {
        return false;
    }
    return WriteBlocksInTurn(source, blocks, random, archive, sum, count_block, write_failed);
}

// The end record: the signature of the byte sum's decimal text.
bool WriteEndRecord(std::uint32_t sum, const Str255& signature_key, OutputStream& archive) {
    Str255 end_record;
    end_record.push_back(kEndRecordMarker);
    end_record.append(KeyedDigest(ByteSumText(sum), kSignatureSize, signature_key));
    return WriteRawBytes(end_record, archive);
}

// Everything from the version marker on, with the source open.
bool WriteEntry(const EncryptSecrets& secrets, InputStream& source, const Str255& stored_name,
                Str255& entry_chain, OutputStream& archive, EncryptCode& result_code,
                const EncryptContext& ctx) {
    EntrySecrets k;
    if (!WriteHeaderRecords(secrets, stored_name, entry_chain, archive, ctx.random, k)) {
        return WriteFailed(result_code, ctx.state);
    }
    std::uint32_t sum = 0;
    std::int64_t bytes_since = 0;
    if (!WriteBlocks(source, k, archive, sum, bytes_since, result_code, ctx)) {
        return false;
    }
    if (!WriteEndRecord(sum, k.signature_key, archive)) {
        return WriteFailed(result_code, ctx.state);
    }
    ctx.host.AddBytesProcessed(bytes_since);
    return true;
}

// Both forms of EncryptEntry: the source is opened here unless given. Out
// of line, so that the stack it used lies below the callers' wipe.
[[gnu::noinline]] bool EncryptSource(const EncryptSecrets& secrets, InputStream* source,
                                     const std::filesystem::path& source_path,
                                     const Str255& stored_name, Str255& entry_chain,
                                     OutputStream& archive, EncryptCode& result_code,
                                     const EncryptContext& ctx) {
    if (BadArguments(secrets.password, secrets.personal_code, secrets.key_mark, source_path,
                     stored_name)) {
        result_code = EncryptCode::kBadArgument;
        return false;
    }
    FileReader file(kStreamBufferSize);
    std::optional<FileStamp> before;
    if (source == nullptr) {
        if (!file.Open(source_path)) {
            ctx.host.AppendReport(ReadErrorReportLine(PathString(source_path)));
            return false;
        }
        before = StampOf(file.Fd());
        ChangeSourceForTest(source_path);
        source = &file;
    }
    if (!WriteEntry(secrets, *source, stored_name, entry_chain, archive, result_code, ctx)) {
        return false;
    }
    // A file that changed while it was read is stored as read: the report
    // says so, as the entry may hold neither its old nor its new content.
    if (before && StampOf(file.Fd()) != before) {
        ctx.host.AppendReport(ChangedReportLine(PathString(source_path)));
    }
    return true;
}

}  // namespace

bool EncryptEntry(const Str255& password, const Str255& personal_code, const Str255& key_mark,
                  const std::filesystem::path& source_path, const Str255& stored_name,
                  bool use_personal_code, Str255& entry_chain, OutputStream& archive,
                  EncryptCode& result_code, const EncryptContext& ctx) {
    const bool done =
        EncryptSource({password, personal_code, key_mark, use_personal_code}, nullptr, source_path,
                      stored_name, entry_chain, archive, result_code, ctx);
    WipeStackBelow();
    return done;
}

bool EncryptEntry(const Str255& password, const Str255& personal_code, const Str255& key_mark,
                  InputStream& source, const std::filesystem::path& source_path,
                  const Str255& stored_name, bool use_personal_code, Str255& entry_chain,
                  OutputStream& archive, EncryptCode& result_code, const EncryptContext& ctx) {
    const bool done =
        EncryptSource({password, personal_code, key_mark, use_personal_code}, &source, source_path,
                      stored_name, entry_chain, archive, result_code, ctx);
    WipeStackBelow();
    return done;
}

}  // namespace tazu
