#include "terminal/terminal.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>

#include "terminal/console.h"

namespace tazu::terminal {

namespace {

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

std::string HumanBytes(double bytes) {
    const char* units[] = {"B", "KiB", "MiB", "GiB", "TiB"};
    int u = 0;
    while (bytes >= 1024 && u < 4) {
        bytes /= 1024;
        ++u;
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, u == 0 ? "%.0f %s" : "%.1f %s", bytes, units[u]);
    return buf;
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
    line += ", " + HumanBytes(rate) + "/s";
    if (total_ > bytes && rate > 0) {
        const auto left = static_cast<long long>((total_ - bytes) / rate);
        line += ", " + std::to_string(left / 60) + ":" + (left % 60 < 10 ? "0" : "") +
                std::to_string(left % 60) + " left";
    }
    line += ", files: " + std::to_string(files);
    // One column short of the width (read at each redraw, so that it follows
    // a resize): a full line would wrap and leave a line behind.
    const int columns = TerminalColumns();
    if (columns > 1 && line.size() >= static_cast<std::size_t>(columns)) {
        line.resize(static_cast<std::size_t>(columns - 1));
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

namespace {

// The length of the valid UTF-8 sequence at text[i] that encodes a
// character other than a C1 control, or 0.
std::size_t PrintableSequence(std::string_view text, std::size_t i) {
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = b(i);
    std::size_t n = 0;
    std::uint32_t cp = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        n = 2;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        n = 3;
        cp = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        n = 4;
        cp = lead & 0x07;
    } else {
        return 0;
    }
    if (i + n > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < n; ++k) {
        if ((b(i + k) & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (b(i + k) & 0x3F);
    }
    const bool overlong = (n == 3 && cp < 0x800) || (n == 4 && cp < 0x10000);
    const bool bad =
        overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF) || (cp >= 0x80 && cp <= 0x9F);
    return bad ? 0 : n;
}

}  // namespace

std::string Escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7F) {
            out.push_back(static_cast<char>(c));
            ++i;
            continue;
        }
        const std::size_t n = c >= 0x80 ? PrintableSequence(text, i) : 0;
        if (n > 0) {
            out.append(text.substr(i, n));
            i += n;
            continue;
        }
        char buf[8];
        std::snprintf(buf, sizeof buf, "\\x%02x", c);
        out += buf;
        ++i;
    }
    return out;
}

}  // namespace tazu::terminal
