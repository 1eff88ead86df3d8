#include "cli/decrypt_hosts.h"

#include "terminal/existing_file.h"

#include <cstdio>
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

EntrySelection::EntrySelection(const std::vector<std::string>& names) {
    for (const std::string& n : names) {
        names_.push_back(Normal(n));
    }
    used_.assign(names_.size(), false);
}

bool EntrySelection::Matches(const std::string& stored_name) {
    if (names_.empty()) {
        return true;
    }
    const std::string stored = Normal(stored_name);
    bool any = false;
    for (std::size_t i = 0; i < names_.size(); ++i) {
        const std::string& n = names_[i];
        if (n.empty() || stored == n ||
            (stored.size() > n.size() && stored.rfind(n, 0) == 0 && stored[n.size()] == '/')) {
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
            out.push_back(names_[i]);
        }
    }
    return out;
}

ExtractHost::ExtractHost(DecryptRunState& state, std::string on_exists, EntrySelection& selection,
                         OutputStream* stream, std::ostream& report, std::uint64_t total)
    : state_(state),
      policy_(std::move(on_exists)),
      selection_(selection),
      stream_(stream),
      report_(report),
      progress_(total) {}

void ExtractHost::addBytesProcessed(std::int64_t count) {
    bytes_ += count;
}

void ExtractHost::addEntryHandled() {
    ++entries_;
}

void ExtractHost::processEvents() {
    progress_.Update(static_cast<std::uint64_t>(bytes_), entries_);
    if (Interrupted()) {
        state_.DecryptCancelled = true;
    }
}

void ExtractHost::appendReport(const std::string& line) {
    progress_.Finish();
    report_ << Escaped(line) << '\n' << std::flush;
    ++problems_;
}

ExistingFileChoice ExtractHost::askExistingFile(const std::string& path) {
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

void ExtractHost::notePersonalCodeUse(bool used) {
    UpdatePersonalCodeIndicator(indicator_, used);
}

bool ExtractHost::wantsEntry(const std::string& stored_name) {
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

void ListHost::addBytesProcessed(std::int64_t count) {
    if (!rows_.empty()) {
        rows_.back().size += static_cast<std::uint64_t>(count);
    }
}

void ListHost::processEvents() {
    if (Interrupted()) {
        state_.DecryptCancelled = true;
    }
}

void ListHost::appendReport(const std::string& line) {
    if (!rows_.empty() && line.find(Tr(" - поврежден")) != std::string::npos) {
        rows_.back().intact = false;
    }
}

bool ListHost::wantsEntry(const std::string& stored_name) {
    rows_.push_back({stored_name, 0, next_personal_code_, true});
    next_personal_code_ = false;
    return true;
}

std::string ListLine(const ListHost::Row& row) {
    char head[64];
    std::snprintf(head, sizeof head, "%12llu  %-3s  %-7s  ",
                  static_cast<unsigned long long>(row.size), row.personal_code ? "yes" : "no",
                  row.intact ? "intact" : "damaged");
    return head + Escaped(row.name);
}

}  // namespace tazu::cli
