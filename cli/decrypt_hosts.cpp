#include "cli/decrypt_hosts.h"

#include "terminal/existing_file.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace tazu::cli {
namespace {

// "/" for "\", without separators at either end.
std::string Normal(const std::string& name) {
    std::string s = name;
    for (char& c : s) {
        if (c == '\\') {
            c = '/';
        }
    }
    while (s.rfind("./", 0) == 0) {
        s.erase(0, 2);
    }
    const auto first = s.find_first_not_of('/');
    if (first == std::string::npos) {
        return {};
    }
    const auto last = s.find_last_not_of('/');
    return s.substr(first, last - first + 1);
}

}  // namespace

// Whether text matches pattern, where * stands for any run of bytes
// ("/" included) and ? for one character (a whole UTF-8 sequence).
bool WildcardMatch(std::string_view pattern, std::string_view text) {
    std::size_t p = 0, t = 0, star = std::string_view::npos, resume = 0;
    auto char_length = [&](std::size_t at) {
        std::size_t n = 1;
        while (at + n < text.size() && (static_cast<unsigned char>(text[at + n]) & 0xC0) == 0x80 &&
               (static_cast<unsigned char>(text[at]) & 0xC0) == 0xC0 && n < 4) {
            ++n;
        }
        return n;
    };
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = t;
        } else if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == text[t])) {
            t += pattern[p] == '?' ? char_length(t) : 1;
            ++p;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

namespace {

// Whether the pattern picks the stored name: the name itself or a folder
// above it.
bool Picks(const std::string& pattern, const std::string& stored) {
    if (pattern.empty()) {
        return true;
    }
    for (std::size_t slash = stored.find('/'); slash != std::string::npos;
         slash = stored.find('/', slash + 1)) {
        if (WildcardMatch(pattern, std::string_view(stored).substr(0, slash))) {
            return true;
        }
    }
    return WildcardMatch(pattern, stored);
}

}  // namespace

EntrySelection::EntrySelection(const std::vector<std::string>& names) : given_(names) {
    for (const std::string& n : names) {
        names_.push_back(Normal(n));
    }
    used_.assign(names_.size(), false);
}

bool EntrySelection::Matches(const std::string& stored_name) {
    if (names_.empty()) {
        return true;
    }
    // The raw bytes, and the name as list shows it (escaped).
    const std::string stored = Normal(stored_name);
    const std::string shown = Normal(Escaped(stored_name));
    bool any = false;
    for (std::size_t i = 0; i < names_.size(); ++i) {
        if (Picks(names_[i], stored) || Picks(names_[i], shown)) {
            used_[i] = true;
            any = true;
        }
    }
    return any;
}

std::vector<std::string> EntrySelection::Unmatched() const {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < names_.size(); ++i) {
        if (!used_[i]) {
            out.push_back(given_[i]);
        }
    }
    return out;
}

ExtractHost::ExtractHost(DecryptRunState& state, std::string on_exists, EntrySelection& selection,
                         OutputStream* stream, std::ostream& report, std::uint64_t total,
                         bool show_progress)
    : state_(state),
      policy_(std::move(on_exists)),
      selection_(selection),
      stream_(stream),
      report_(report),
      progress_(total, show_progress) {}

// The line moves with every file's bytes, small files' too, not only when
// the engine pauses for events (redraws are limited to ten a second).
void ExtractHost::AddBytesProcessed(std::int64_t count) {
    bytes_ += count;
    progress_.Update(static_cast<std::uint64_t>(bytes_), entries_);
}

void ExtractHost::AddEntryHandled() {
    ++entries_;
    progress_.Update(static_cast<std::uint64_t>(bytes_), entries_);
}

void ExtractHost::ProcessEvents() {
    progress_.Update(static_cast<std::uint64_t>(bytes_), entries_);
    if (Interrupted()) {
        state_.DecryptCancelled = true;
    }
}

void ExtractHost::AppendReport(const std::string& line) {
    progress_.Finish();
    report_ << Escaped(line) << '\n' << std::flush;
    ++problems_;
}

ExistingFileChoice ExtractHost::AskExistingFile(const std::string& path) {
    ExistingFileChoice choice = ExistingFileChoice::Cancel;
    if (policy_ == "replace") {
        return ExistingFileChoice::Replace;
    }
    if (policy_ == "skip") {
        choice = ExistingFileChoice::Skip;
    } else if (policy_ == "cancel") {
        return ExistingFileChoice::Cancel;
    } else {
        progress_.Finish();
        bool for_all = false;
        choice = terminal::AskExistingFile(path, Tr(terminal::kExistingFileChoices), for_all);
        if (choice == ExistingFileChoice::Cancel) {
            return choice;
        }
        if (for_all) {
            policy_ = choice == ExistingFileChoice::Replace ? "replace" : "skip";
        }
        if (choice == ExistingFileChoice::Replace) {
            return choice;
        }
    }
    ++problems_;  // a skipped file leaves the run incomplete, with or without a report line
    return choice;
}

void ExtractHost::NotePersonalCodeUse(bool used) {
    UpdatePersonalCodeIndicator(indicator_, used);
}

bool ExtractHost::WantsEntry(const std::string& stored_name) {
    if (!selection_.Matches(stored_name)) {
        return false;
    }
    if (stream_ != nullptr && ++streamed_ > 1) {
        too_many_ = true;
        state_.DecryptCancelled = true;
        return false;
    }
    return true;
}

void ListHost::AddBytesProcessed(std::int64_t count) {
    if (row_) {
        row_->size += static_cast<std::uint64_t>(count);
    }
}

void ListHost::ProcessEvents() {
    if (Interrupted()) {
        state_.DecryptCancelled = true;
    }
}

void ListHost::NoteSkippedBytes(std::uint64_t from, std::uint64_t to,
                                const std::string& damaged_entry) {
    stretches_.push_back(Stretch{from, to, damaged_entry});
}

void ListHost::NoteEntryResult(const std::string& stored_name, const EntryResult& result) {
    if (!row_ || row_->name != stored_name) {
        return;
    }
    if (!result.skipped.empty()) {
        row_->skipped = result.skipped;
    } else if (result.damaged) {
        row_->intact = false;
        row_->damaged_blocks = result.damaged_blocks;
    }
}

void ListHost::HandOn() {
    if (!row_) {
        return;
    }
    problems_ += row_->intact && row_->skipped.empty() ? 0 : 1;
    if (sink_) {
        sink_(*row_);
    }
    row_.reset();
}

void ListHost::Finish() {
    HandOn();
}

bool ListHost::WantsEntry(const std::string& stored_name) {
    HandOn();
    row_.emplace();
    row_->name = stored_name;
    row_->personal_code = next_personal_code_;
    next_personal_code_ = false;
    return true;
}

namespace {

// The column of choice, as wide as its widest word in the chosen language.
std::string Column(std::string_view shown, std::string_view a, std::string_view b) {
    const std::size_t width = std::max(DisplayWidth(a), DisplayWidth(b));
    return std::string(shown) + std::string(width - DisplayWidth(shown), ' ');
}

}  // namespace

std::string ListLine(const ListHost::Row& row) {
    char size[32];
    std::snprintf(size, sizeof size, "%12llu  ", static_cast<unsigned long long>(row.size));
    const std::string_view yes = Tr("да"), no = Tr("нет");
    const std::string_view intact = Tr("цел"), damaged = Tr("поврежден");
    return size + Column(row.personal_code ? yes : no, yes, no) + "  " +
           Column(row.intact ? intact : damaged, intact, damaged) + "  " + Escaped(row.name);
}

}  // namespace tazu::cli
