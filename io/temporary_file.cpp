// The temporary names and the end of writing, the same on every system.
#include <atomic>

#include "io/native.h"
#include "io/temporary_file.h"

namespace tazu {

namespace {

constexpr std::string_view kTag = ".tazu16x32-";
constexpr std::string_view kEnd = ".part";
constexpr std::size_t kNameMax = 255;

bool AllDigits(std::string_view s) {
    if (s.empty() || s.size() > 10) {
        return false;
    }
    for (char c : s) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

// At most limit bytes of name (at least one), never cutting a UTF-8
// character in two.
std::string_view Shortened(std::string_view name, std::size_t limit) {
    if (name.size() <= limit) {
        return name;
    }
    std::size_t n = limit;
    while (n > 1 && (static_cast<unsigned char>(name[n]) & 0xC0) == 0x80) {
        --n;
    }
    return name.substr(0, n);
}

}  // namespace

std::string TemporaryFileName(std::string_view final_name) {
    static std::atomic<unsigned> counter{0};
    const std::string suffix = std::string(kTag) +
                               std::to_string(static_cast<long>(CurrentProcessId())) + "-" +
                               std::to_string(counter++) + std::string(kEnd);
    return std::string(Shortened(final_name, kNameMax - suffix.size())) + suffix;
}

std::optional<pid_t> TemporaryFileWriter(std::string_view name) {
    const std::size_t tag = name.rfind(kTag);
    if (tag == std::string_view::npos || tag == 0 || name.size() < kEnd.size() ||
        name.substr(name.size() - kEnd.size()) != kEnd) {
        return std::nullopt;
    }
    const std::string_view numbers =
        name.substr(tag + kTag.size(), name.size() - kEnd.size() - tag - kTag.size());
    const std::size_t dash = numbers.find('-');
    if (dash == std::string_view::npos || !AllDigits(numbers.substr(0, dash)) ||
        !AllDigits(numbers.substr(dash + 1))) {
        return std::nullopt;
    }
    const long pid = std::stol(std::string(numbers.substr(0, dash)));
    if (pid <= 0 || pid > 0x3fffffff) {
        return std::nullopt;
    }
    return static_cast<pid_t>(pid);
}

bool TemporaryFile::Create(int folder_fd, const std::string& final_name, unsigned mode) {
    return Create(folder_fd, final_name, mode, Known{});
}

void TemporaryFile::MakeDurable() {
    durable_ = true;
    file_.StartWritebackAhead();
}

bool TemporaryFile::Finish() {
    return unnamed_ ? file_.Complete(durable_) : file_.Close(durable_);
}

}  // namespace tazu
