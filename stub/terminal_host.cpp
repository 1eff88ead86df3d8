#include "stub/terminal_host.h"

#include <iostream>

namespace tazu {

TerminalDecryptHost::TerminalDecryptHost(DecryptRunState& state, bool interactive)
    : state_(state), interactive_(interactive) {}

void TerminalDecryptHost::addBytesProcessed(std::int64_t count) {
    bytes_ += count;
    progress_.Update(static_cast<std::uint64_t>(bytes_), static_cast<std::uint64_t>(entries_));
}

void TerminalDecryptHost::addEntryHandled() {
    ++entries_;
    progress_.Update(static_cast<std::uint64_t>(bytes_), static_cast<std::uint64_t>(entries_));
}

void TerminalDecryptHost::processEvents() {
    if (cli::Interrupted()) {
        state_.abort = true;
    }
}

void TerminalDecryptHost::appendReport(const std::string& line) {
    report_.push_back(line);
}

ExistingFileChoice TerminalDecryptHost::askExistingFile(const std::string& path) {
    if (answer_for_all_) {
        return all_choice_;
    }
    if (!interactive_) {
        return ExistingFileChoice::Skip;
    }
    progress_.Finish();
    for (;;) {
        std::cerr << "Файл уже существует: " << cli::Escaped(path) << "\n"
                  << "[r] заменить, [s] пропустить, [c] отменить расшифровывание; "
                  << "R или S - для всех файлов: " << std::flush;
        std::string answer;
        if (!std::getline(std::cin, answer)) {
            return ExistingFileChoice::Cancel;
        }
        if (answer == "r" || answer == "R") {
            answer_for_all_ = answer == "R";
            all_choice_ = ExistingFileChoice::Replace;
            return ExistingFileChoice::Replace;
        }
        if (answer == "s" || answer == "S") {
            answer_for_all_ = answer == "S";
            all_choice_ = ExistingFileChoice::Skip;
            return ExistingFileChoice::Skip;
        }
        if (answer == "c" || answer == "C") {
            return ExistingFileChoice::Cancel;
        }
    }
}

void TerminalDecryptHost::notePersonalCodeUse(bool used) {
    UpdatePersonalCodeIndicator(personal_code_, used);
}

}  // namespace tazu
