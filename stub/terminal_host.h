// The stub's face on the terminal: progress on standard error, report lines
// collected for the end, and the existing-file question asked per file when
// there is a terminal (skipped otherwise, so nothing is overwritten unasked).
#pragma once

#include <string>
#include <vector>

#include "decrypt/decrypt_host.h"
#include "terminal/terminal.h"

namespace tazu {

class TerminalDecryptHost final : public DecryptHost {
  public:
    // total: the archive's bytes, for the percentage and time left (0: unknown).
    TerminalDecryptHost(DecryptRunState& state, bool interactive, std::uint64_t total = 0);

    void AddBytesProcessed(std::int64_t count) override;
    void AddEntryHandled() override;
    void ProcessEvents() override;
    void AppendReport(const std::string& line) override;
    ExistingFileChoice AskExistingFile(const std::string& path) override;
    void NotePersonalCodeUse(bool used) override;

    const std::vector<std::string>& Report() const { return report_; }
    // Existing files left as they were (skipped): the run is not complete.
    int Skipped() const { return skipped_; }
    void Finish() { progress_.Finish(); }

  private:
    // The answer for the existing file at path: asked, remembered for all,
    // or skip without a terminal.
    ExistingFileChoice Answer(const std::string& path);

    DecryptRunState& state_;
    bool interactive_;
    bool answer_for_all_ = false;
    ExistingFileChoice all_choice_ = ExistingFileChoice::Skip;
    std::int64_t bytes_ = 0;
    std::int64_t entries_ = 0;
    int skipped_ = 0;
    std::string personal_code_;
    std::vector<std::string> report_;
    terminal::ProgressLine progress_;
};

}  // namespace tazu
