#include "terminal/terminal.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>

#include "format/language.h"
#include "io/stored_name.h"
#include "terminal/console.h"

namespace tazu::terminal {

namespace {

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

std::string HumanBytes(double bytes) {
    const std::string_view units[] = {TextKey("Б"), TextKey("КиБ"), TextKey("МиБ"), TextKey("ГиБ"),
                                      TextKey("ТиБ")};
    int u = 0;
    while (bytes >= 1024 && u < 4) {
        bytes /= 1024;
        ++u;
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, u == 0 ? "%.0f " : "%.1f ", bytes);
    return buf + std::string(Tr(units[u]));
}

std::size_t DisplayWidth(std::string_view text) {
    std::size_t width = 0;
    for (const char c : text) {
        width += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    }
    return width;
}

bool ReadAnswerLine(std::string& line) {
    line.clear();
    bool any = false;
    for (;;) {
        char c = 0;
        const long got = ReadTypedByte(0, &c);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        any = true;
        if (c == '\n') {
            break;
        }
        line.push_back(c);
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return any;
}

ProgressLine::ProgressLine(std::uint64_t total_bytes, bool shown)
    : enabled_(shown && StderrIsTerminal()), total_(total_bytes), start_(Now()) {}

void ProgressLine::Update(std::uint64_t bytes, std::uint64_t files) {
    if (!enabled_) {
        return;
    }
    const double now = Now();
    if (drawn_ && now - last_ < 0.1) {
        return;
    }
    last_ = now;
    drawn_ = true;
    const double elapsed = std::max(now - start_, 1e-3);
    const double rate = bytes / elapsed;
    std::string line;
    if (total_ > 0) {
        // "[#######.............]  35% " before the counts.
        constexpr int kWidth = 20;
        const std::uint64_t done = std::min(bytes, total_);
        const int pct = static_cast<int>(done * 100 / total_);
        const int filled = static_cast<int>(done * kWidth / total_);
        line = "[";
        line.append(filled, '#').append(kWidth - filled, '.') += "] ";
        line += (pct < 10 ? "  " : pct < 100 ? " " : "") + std::to_string(pct) + "% ";
        line += HumanBytes(static_cast<double>(bytes)) + " / " +
                HumanBytes(static_cast<double>(total_));
    } else {
        line = HumanBytes(static_cast<double>(bytes));
    }
    line += TrFill(", {}/с", {HumanBytes(rate)});
    if (total_ > bytes && rate > 0) {
        const auto left = static_cast<long long>((total_ - bytes) / rate);
        line += TrFill(", осталось {}:{}{}", {std::to_string(left / 60), left % 60 < 10 ? "0" : "",
                                              std::to_string(left % 60)});
    }
    line += TrFill(", файлов: {}", {std::to_string(files)});
    // One column short of the width (read at each redraw, so that it follows
    // a resize): a full line would wrap and leave a line behind. It is cut
    // between characters, never inside one.
    const int columns = TerminalColumns();
    while (columns > 1 && DisplayWidth(line) >= static_cast<std::size_t>(columns)) {
        while (!line.empty() && (static_cast<unsigned char>(line.back()) & 0xC0) == 0x80) {
            line.pop_back();  // the continuation bytes of the last character
        }
        if (!line.empty()) {
            line.pop_back();
        }
    }
    std::fprintf(stderr, "\r\033[K%s", line.c_str());
    std::fflush(stderr);
    NoteProgressLineShown(true);
}

void ProgressLine::Finish() {
    if (enabled_ && drawn_) {
        std::fprintf(stderr, "\r\033[K");
        std::fflush(stderr);
        NoteProgressLineShown(false);
        drawn_ = false;
    }
}

std::string Escaped(std::string_view text) {
    return VisibleText(text);
}

}  // namespace tazu::terminal
