// The terminal side of reading an archive: extraction and verification
// (progress on standard error, escaped report lines, the existing-file
// question, picked entries, standard output as the target) and the listing
// of an archive's entries.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command_line.h"
#include "decrypt/decrypt_host.h"

namespace tazu::cli {

// Whether text matches pattern, where * stands for any run of bytes ("/"
// included) and ? for one character.
bool WildcardMatch(std::string_view pattern, std::string_view text);

// The entries named on the command line: a stored name matches a name when
// they are the same or the name is a folder above it, with "/" and "\"
// alike and without leading or trailing separators. A name may be given as
// its raw bytes or as list shows it (escaped), and may hold the wildcards *
// and ?. No names: everything.
class EntrySelection {
  public:
    explicit EntrySelection(const std::vector<std::string>& names);
    bool Matches(const std::string& stored_name);
    // The names that matched no entry.
    std::vector<std::string> Unmatched() const;

  private:
    std::vector<std::string> given_;
    std::vector<std::string> names_;
    std::vector<bool> used_;
};

class ExtractHost final : public DecryptHost {
  public:
    // report: where report lines go; stream: where the data go (null: files).
    ExtractHost(DecryptRunState& state, std::string on_exists, EntrySelection& selection,
                OutputStream* stream, std::ostream& report, std::uint64_t total,
                bool show_progress = true);

    void AddBytesProcessed(std::int64_t count) override;
    void AddEntryHandled() override;
    void ProcessEvents() override;
    void AppendReport(const std::string& line) override;
    ExistingFileChoice AskExistingFile(const std::string& path) override;
    void NotePersonalCodeUse(bool used) override;
    bool WantsEntry(const std::string& stored_name) override;
    OutputStream* EntryStream() override { return stream_; }

    void Finish() { progress_.Finish(); }
    const std::string& Indicator() const { return indicator_; }
    // Report lines and skipped files so far.
    int Problems() const { return problems_; }
    // A second entry came while writing to standard output.
    bool TooMany() const { return too_many_; }

  private:
    DecryptRunState& state_;
    std::string policy_;
    EntrySelection& selection_;
    OutputStream* stream_;
    std::ostream& report_;
    ProgressLine progress_;
    std::int64_t bytes_ = 0;
    std::uint64_t entries_ = 0;
    int streamed_ = 0;
    int problems_ = 0;
    bool too_many_ = false;
    std::string indicator_;
};

// Counts the entries a selection picks, passing over all data: a quick
// first pass before standard output gets a file.
class CountingHost final : public DecryptHost {
  public:
    explicit CountingHost(EntrySelection selection) : selection_(std::move(selection)) {}
    void AddBytesProcessed(std::int64_t) override {}
    void AddEntryHandled() override {}
    void ProcessEvents() override {}
    void AppendReport(const std::string&) override {}
    ExistingFileChoice AskExistingFile(const std::string&) override {
        return ExistingFileChoice::Skip;
    }
    void NotePersonalCodeUse(bool) override {}
    bool WantsEntry(const std::string& stored_name) override {
        count_ += selection_.Matches(stored_name) ? 1 : 0;
        return false;
    }
    int Count() const { return count_; }

  private:
    EntrySelection selection_;
    int count_ = 0;
};

// The rows of "list" and of the JSON reports of list and verify, one per
// entry, each handed on to the sink as soon as its entry ends (a run keeps
// only the current one), and the stretches a recovering run passed over.
class ListHost final : public DecryptHost {
  public:
    struct Row {
        std::string name;  // the stored bytes
        std::uint64_t size = 0;
        bool personal_code = false;
        bool intact = true;
        std::int64_t damaged_blocks = -1;  // -1 when the run could not count them
        std::string skipped;               // why it was skipped; empty when it was not
    };
    struct Stretch {
        std::uint64_t from = 0;
        std::uint64_t to = 0;
        std::string entry;  // the damaged entry's name, when it could be read
    };
    using RowSink = std::function<void(const Row&)>;
    ListHost(DecryptRunState& state, RowSink sink) : state_(state), sink_(std::move(sink)) {}

    void AddBytesProcessed(std::int64_t count) override;
    void AddEntryHandled() override {}
    void ProcessEvents() override;
    void AppendReport(const std::string&) override {}
    ExistingFileChoice AskExistingFile(const std::string&) override {
        return ExistingFileChoice::Skip;
    }
    void NotePersonalCodeUse(bool used) override { next_personal_code_ = used; }
    bool WantsEntry(const std::string& stored_name) override;
    void NoteEntryResult(const std::string& stored_name, const EntryResult& result) override;
    void NoteSkippedBytes(std::uint64_t from, std::uint64_t to,
                          const std::string& damaged_entry) override;

    // Hands on the last entry's row: the run has ended.
    void Finish();
    const std::vector<Stretch>& Stretches() const { return stretches_; }
    // Entries found damaged or skipped.
    int Problems() const { return problems_; }

  private:
    void HandOn();

    DecryptRunState& state_;
    RowSink sink_;
    std::optional<Row> row_;  // the entry being read
    std::vector<Stretch> stretches_;
    bool next_personal_code_ = false;
    int problems_ = 0;
};

// One row of "list": size, personal code, state and the escaped name.
std::string ListLine(const ListHost::Row& row);

}  // namespace tazu::cli
