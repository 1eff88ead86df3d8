#include "decrypt/entry_data.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "decrypt/decrypt_messages.h"
#include "decrypt/entry_blocks.h"
#include "format/format.h"
#include "io/clock.h"
#include "io/native.h"

namespace tazu {

namespace {

constexpr std::int32_t kSkipBlocksPerUpdate = 1024;

// Discards what a check-only run would have written.
class NullOutput final : public OutputStream {
  public:
    bool Write(const std::uint8_t*, std::size_t) override { return true; }
    bool Flush() override { return true; }
};

bool SkipEntry(EntryContext& context, DecryptCode& result_code) {
    return SkipEntryBlocks(context.file, context.host, context.state, result_code);
}

// Passes over the entry's data, then writes its report line and tells the
// host why it was skipped.
bool SkipWithLine(EntryContext& context, const std::string& line, SkipReason reason,
                  DecryptCode& result_code) {
    const bool skipped = SkipEntry(context, result_code);
    context.host.AppendReport(line);
    EntryResult result;
    result.skipped = SkipReasonText(reason);
    context.host.NoteEntryResult(context.scratch.name, result);
    return skipped;
}

// The entry's output path as report lines and the existing-file question
// show it, made only when one of them needs it: checking an archive's
// intact entries never does.
class EntryPath {
  public:
    EntryPath(const Path& destination, const std::vector<std::string>& components)
        : destination_(destination), components_(components) {}
    const std::string& text() {
        if (text_.empty()) {
            text_ = PathString(JoinOutputPath(destination_, components_));
        }
        return text_;
    }

  private:
    const Path& destination_;
    const std::vector<std::string>& components_;
    std::string text_;
};

enum class OutputStep {
    kReady,    // out is where the data go
    kSkipped,  // the entry was skipped: the result is skipped's
    kFailed,   // the entry failed or the run ends: false
};

// Where the entry's data go: the host's stream, a temporary file beside
// the final name, or nowhere (a check-only run). Asks about an existing
// file, and skips the entry (with its report line) when it may not be
// written.
OutputStep PrepareOutput(EntryContext& context, const EntryRules& rules,
                         const std::vector<std::string>& components, EntryPath& path,
                         OutputTarget& target, BlockState& state, bool& skipped,
                         DecryptCode& result_code) {
    OutputStream* const stream = context.write_files ? context.host.EntryStream() : nullptr;
    if (stream != nullptr) {
        state.out = stream;
        return OutputStep::kReady;
    }
    if (!context.write_files) {
        return OutputStep::kReady;
    }
    const auto status =
        target.Prepare(context.destination, components, context.archive, &context.scratch.folders);
    if (status == OutputTarget::Status::kExists) {
        switch (context.host.AskExistingFile(path.text())) {
            case ExistingFileChoice::Skip:
                skipped = rules.skip_line
                              ? SkipWithLine(context,
                                             ExistsReportLine(Tr(rules.line_prefix), path.text()),
                                             SkipReason::kExists, result_code)
                              : SkipEntry(context, result_code);
                return OutputStep::kSkipped;
            case ExistingFileChoice::Cancel:
                result_code = DecryptCode::kAborted;
                context.state.DecryptCancelled = true;
                return OutputStep::kFailed;
            case ExistingFileChoice::Replace:
                break;
        }
    }
    if (status == OutputTarget::Status::kNoAccess || !target.CreateTemporary()) {
        SkipWithLine(context, NoAccessReportLine(Tr(rules.line_prefix), path.text()),
                     SkipReason::kNoAccess, result_code);
        return OutputStep::kFailed;
    }
    state.out = &target.Stream();
    state.target = &target;
    return OutputStep::kReady;
}

// Keeps the file a write failed on and the free space left in its folder
// for the message, measured while its partial data still take their room.
void NoteWriteFailure(DecryptRunState& state, const Path& file) {
    state.failed_write = PathString(file);
    state.free_at_failure = FreeSpaceAt(file.parent_path());
}

// The end check and its report line, then the file takes its final name.
bool FinishEntry(EntryContext& context, const EntryRules& rules, const EntryKeys& keys,
                 const BlockState& state, EntryPath& path, DecryptCode& result_code) {
    const Str255 sum_text = DecimalText(static_cast<std::int32_t>(state.sum));
    EntryResult result;
    if (state.cut ||
        !SignatureMatches(rules, sum_text, state.end_signature, keys.record_signature_key)) {
        context.host.AppendReport(DamagedReportLine(Tr(rules.line_prefix), path.text()));
        result.damaged = true;
    } else if (state.damaged > 0) {
        context.host.AppendReport(
            DamagedBlocksReportLine(Tr(rules.line_prefix), path.text(), state.damaged));
        result.damaged = true;
        result.damaged_blocks = state.damaged;
    }
    if (result.damaged) {
        context.host.NoteEntryResult(context.scratch.name, result);
    }
    context.host.AddBytesProcessed(state.pending_bytes);
    if (state.target != nullptr && !state.target->Commit()) {
        result_code = DecryptCode::kWriteError;
        return false;
    }
    result_code = DecryptCode::kOk;
    return rules.flag_when_done;
}

}  // namespace

bool SkipEntryBlocks(InputStream& file, DecryptHost& host, DecryptRunState& state,
                     DecryptCode& result_code) {
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
            host.AddBytesProcessed(bytes);
            if (state.DecryptCancelled) {
                result_code = DecryptCode::kAborted;
                return false;
            }
            host.ProcessEvents();
            blocks = 0;
            bytes = 0;
        }
    }
}

bool ExtractEntryData(EntryContext& context, const EntryRules& rules, EntryKeys& keys,
                      DecryptCode& result_code) {
    // Buffers of the run, reused: no allocation for an entry's name.
    std::string& name = context.scratch.name;
    name.assign(keys.stored_name.view());
    if (!context.host.WantsEntry(name)) {
        return SkipEntry(context, result_code);
    }
    std::vector<std::string>& components = context.scratch.components;
    if (!SplitStoredName(keys.stored_name, components)) {
        SkipWithLine(context, InvalidNameReportLine(Tr(rules.line_prefix), keys.stored_name.str()),
                     SkipReason::kInvalidName, result_code);
        return false;
    }
    if (context.state.cp1251_names) {
        for (std::string& part : components) {
            if (!IsValidUtf8(part)) {
                part = Cp1251ToUtf8(part);
            }
        }
    }
    EntryPath path(context.destination, components);

    OutputTarget target;
    NullOutput discard;
    BlockState state;
    state.out = &discard;
    bool skipped = false;
    switch (PrepareOutput(context, rules, components, path, target, state, skipped, result_code)) {
        case OutputStep::kReady:
            break;
        case OutputStep::kSkipped:
            return skipped;
        case OutputStep::kFailed:
            return false;
    }
    const bool decrypted = rules.personal_code
                               ? DecryptBlocks07(context, rules, keys, state, result_code)
                               : DecryptOlderBlocks(context, rules, keys, state, result_code);
    if (!decrypted) {
        if (result_code == DecryptCode::kWriteError && state.target != nullptr) {
            NoteWriteFailure(context.state, JoinOutputPath(context.destination, components));
        }
        return false;
    }
    const bool finished = FinishEntry(context, rules, keys, state, path, result_code);
    if (result_code == DecryptCode::kWriteError) {
        NoteWriteFailure(context.state, JoinOutputPath(context.destination, components));
    }
    return finished;
}

}  // namespace tazu
