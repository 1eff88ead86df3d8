// Checking and splitting stored names, and the end of an output file: the
// same on every system.
#include "decrypt/output_target.h"
#include "io/native.h"

namespace tazu {

namespace {

bool IsSeparator(std::uint8_t c) {
    return c == '\\' || c == '/';
}

}  // namespace

bool SplitStoredName(const Str255& name, std::vector<std::string>& components) {
    components.clear();
    const std::string_view text = name.view();
    if (text.empty() || text.find('\0') != std::string_view::npos) {
        return false;
    }
    if (text.size() >= 2 && text[1] == ':' &&
        ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'))) {
        return false;
    }
    std::size_t pos = IsSeparator(text[0]) ? 1 : 0;
    while (true) {
        std::size_t end = pos;
        while (end < text.size() && !IsSeparator(text[end])) {
            ++end;
        }
        const std::string_view part = text.substr(pos, end - pos);
        if (part.empty() || part == "." || part == ".." || !NameComponentAllowed(part)) {
            components.clear();
            return false;
        }
        components.emplace_back(part);
        if (end == text.size()) {
            return true;
        }
        pos = end + 1;
    }
}

OutputStream& OutputTarget::stream() {
    return file_->file();
}

bool OutputTarget::Commit() {
    if (!file_) {
        return false;
    }
    if (!file_->Finish() || !file_->Commit()) {
        Discard();
        return false;
    }
    file_.reset();
    return true;
}

void OutputTarget::Discard() {
    file_.reset();
}

}  // namespace tazu
