// The JSON document of "list --json" and "verify --json": per archive its
// entries (stored name, size, personal code, outcome), the stretches a
// recovering run passed over and the result; the worst status last.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/decrypt_hosts.h"
#include "decrypt/result_code.h"

namespace tazu::cli {

// Writes the document as the runs go, one entry at a time, so a listing
// of any length is never held whole; the text is what nlohmann::json's
// dump(2) gives for the whole document.
class JsonReport {
  public:
    explicit JsonReport(std::ostream& out) : out_(out) {}
    JsonReport(const JsonReport&) = delete;
    JsonReport& operator=(const JsonReport&) = delete;
    // One archive's run, by its name as given: the start, each entry's row
    // as its entry ends, then the stretches passed over, the run's code and
    // exit status.
    void BeginArchive(const std::string& archive);
    void AddEntry(const ListHost::Row& row);
    void EndArchive(const std::vector<ListHost::Stretch>& stretches, DecryptCode code, int status,
                    const std::string& message);
    // The end of the document, with the worst status, and a line end.
    void End(int status);

  private:
    std::ostream& out_;
    bool any_archive_ = false;
    bool any_entry_ = false;
};

// Whether text is valid UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(const std::string& text);

}  // namespace tazu::cli
