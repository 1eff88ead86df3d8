#include "stub/terminal_host.h"

#include "terminal/existing_file.h"

namespace tazu {

TerminalDecryptHost::TerminalDecryptHost(DecryptRunState& state, bool interactive,
                                         std::uint64_t total)
    : state_(state), interactive_(interactive), progress_(total) {}

void TerminalDecryptHost::AddBytesProcessed(std::int64_t count) {
    bytes_ += count;
    progress_.Update(static_cast<std::uint64_t>(bytes_), static_cast<std::uint64_t>(entries_));
}

void TerminalDecryptHost::AddEntryHandled() {
    ++entries_;
    progress_.Update(static_cast<std::uint64_t>(bytes_), static_cast<std::uint64_t>(entries_));
}

void TerminalDecryptHost::ProcessEvents() {
    if (terminal::Interrupted()) {
        state_.DecryptCancelled = true;
    }
}

void TerminalDecryptHost::AppendReport(const std::string& line) {
    report_.push_back(line);
}

ExistingFileChoice TerminalDecryptHost::AskExistingFile(const std::string& path) {
    const ExistingFileChoice choice = Answer(path);
    skipped_ += choice == ExistingFileChoice::Skip ? 1 : 0;
    return choice;
}

ExistingFileChoice TerminalDecryptHost::Answer(const std::string& path) {
    if (answer_for_all_) {
        return all_choice_;
    }
    if (!interactive_) {
        return ExistingFileChoice::Skip;
    }
    progress_.Finish();
    const ExistingFileChoice choice =
        terminal::AskExistingFile(path, Tr(terminal::kExistingFileChoices), answer_for_all_);
    all_choice_ = choice;
    return choice;
}

void TerminalDecryptHost::NotePersonalCodeUse(bool used) {
    UpdatePersonalCodeIndicator(personal_code_, used);
}

}  // namespace tazu
