// The JSON document of "list --json" and "verify --json": per archive its
// entries (stored name, size, personal code, outcome), the stretches a
// recovering run passed over and the result; the worst status last.
#pragma once

#include <memory>
#include <string>

#include "cli/decrypt_hosts.h"
#include "decrypt/result_code.h"

namespace tazu::cli {

class JsonReport {
  public:
    JsonReport();
    ~JsonReport();
    JsonReport(const JsonReport&) = delete;
    JsonReport& operator=(const JsonReport&) = delete;
    // One archive's run: its name as given, what the host collected, the
    // run's code and exit status.
    void Add(const std::string& archive, const ListHost& host, DecryptCode code, int status,
             const std::string& message);
    // The whole document, with the worst status, and a line end.
    std::string Text(int status) const;

  private:
    struct Data;
    std::unique_ptr<Data> data_;
};

// Whether text is valid UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(const std::string& text);

}  // namespace tazu::cli
