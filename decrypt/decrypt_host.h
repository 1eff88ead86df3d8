// What the extraction engine needs from whoever runs it: the progress
// window, the command-line companion, the stub or a test double. The engine
// owns this interface; the windows implement it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "decrypt/decrypt_messages.h"
#include "io/clock.h"

namespace tazu {

enum class ExistingFileChoice : std::uint8_t { Replace, Skip, Cancel };

// What became of an entry that got a report line: damaged, or skipped.
struct EntryResult {
    bool damaged = false;
    // The damaged blocks counted when the entry's end record checked out;
    // -1 when they were not counted.
    std::int32_t damaged_blocks = -1;
    // Why the entry was skipped, in the words its report line ends with
    // ("already exists"); empty when it was not skipped.
    std::string_view skipped;
};

class OutputStream;

class DecryptHost {
  public:
    virtual ~DecryptHost() = default;
    // "Обработано байт:": plaintext bytes handled since the last call.
    virtual void AddBytesProcessed(std::int64_t count) = 0;
    // "Файлов расшифровано:": one more entry handled (written, skipped or failed).
    virtual void AddEntryHandled() = 0;
    // Lets the user interface run; the abort button sets the run's abort flag here.
    virtual void ProcessEvents() = 0;
    // One line of the report list.
    virtual void AppendReport(const std::string& line) = 0;
    // An output file exists at path. The host keeps the apply-to-all answer
    // and returns it without asking again for the rest of the run.
    virtual ExistingFileChoice AskExistingFile(const std::string& path) = 0;
    // A version-07 entry was opened with (true) or without (false) the
    // personal code; UpdatePersonalCodeIndicator turns that into the text.
    virtual void NotePersonalCodeUse(bool used) = 0;

    // An entry whose header opened, stored as stored_name: false passes over
    // its data without writing or reporting anything (the entry still
    // counts for the archive's end check). Every entry is taken unless a
    // host picks.
    virtual bool WantsEntry(const std::string& /*stored_name*/) { return true; }
    // Where a written entry's data go instead of a file under the
    // destination folder (for example standard output); null: a file.
    virtual OutputStream* EntryStream() { return nullptr; }
    // Told right after the report line of an entry found damaged or
    // skipped, with its stored name: a host that keeps a row per entry
    // needs no reading of the (translated) line.
    virtual void NoteEntryResult(const std::string& /*stored_name*/,
                                 const EntryResult& /*result*/) {}
    // Told right after the report line of a stretch of bytes a recovering
    // run passed over, [from, to) of the archive, with the stored name of
    // the damaged entry it began in (empty when none is known).
    virtual void NoteSkippedBytes(std::uint64_t /*from*/, std::uint64_t /*to*/,
                                  const std::string& /*damaged_entry*/) {}
};

// The state of a run that outlives it, owned by the caller, named as the
// writer's EncryptRunState: the abort flag (set by the abort button or a
// cancel answer, read by the engine) and the adaptive count of blocks
// between progress updates.
struct DecryptRunState {
    bool DecryptCancelled = false;
    std::int32_t DecryptBlocksPerUpdate = kInitialBlocksPerUpdate;
    // Damaged stretches a recovering run passed over (headers it could not
    // read, entries it found cut); 0 for a run that met none.
    std::uint32_t recovered = 0;
    // Stored names that are not valid UTF-8 are read as Windows-1251 and
    // written as UTF-8 (older Windows copies stored names in that code page).
    bool cp1251_names = false;
    // The file a write failed on, and the free space measured then, before
    // its partial data were removed; empty when no write failed.
    std::string failed_write;
    std::optional<std::uint64_t> free_at_failure;
};

// The personal-code indicator of the progress window: empty at the start of
// a run, then "Да", "Нет" or "Да / Нет" once both kinds were met.
inline void UpdatePersonalCodeIndicator(std::string& text, bool used) {
    const std::string same(Tr(used ? kPersonalCodeYes : kPersonalCodeNo));
    const std::string other(Tr(used ? kPersonalCodeNo : kPersonalCodeYes));
    if (text.empty()) {
        text = same;
    } else if (text == other) {
        text = Tr(kPersonalCodeMixed);
    }
}

}  // namespace tazu
