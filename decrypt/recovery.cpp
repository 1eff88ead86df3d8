#include "decrypt/recovery.h"

#include <algorithm>
#include <cstring>

#include "cipher/constants.h"
#include "decrypt/entry_rules.h"
#include "decrypt/version_marker.h"
#include "format/format.h"
#include "format/language.h"

namespace tazu {

namespace {

constexpr std::size_t kReadAhead = 64 * 1024;
constexpr std::uint64_t kHistory = 64 * 1024;
// A marker and the salt record right behind it.
constexpr std::size_t kCandidateSize = kMarkerSize + kSaltRecordSize;

// Whether the bytes at p (kCandidateSize of them) start an entry of the
// version (any for -1) that opens with the password.
bool StartsEntry(const std::uint8_t* p, int version, const Str255& password) {
    const Str255 marker = Str255::FromBytes(p, kMarkerSize);
    const int found = MarkerVersion(marker);
    if (found < 0 || (version >= 0 && found != version)) {
        return false;
    }
    const EntryRules& rules = RulesFor(found);
    const Str255 data = Str255::FromBytes(p + kMarkerSize, kDoubleEnvelopeSize);
    const Str255 sig = Str255::FromBytes(p + kMarkerSize + kDoubleEnvelopeSize, kSignatureSize);
    const Str255& key = rules.short_builtin_key ? ShortBuiltInKey() : BuiltInKey();
    if (!HeaderSignatureMatches(rules, data, sig, key)) {
        return false;
    }
    Str255 salt = OpenDoubleEnvelope(data, password, rules.pair);
    const bool opens = !salt.empty();
    salt.Wipe();
    return opens;
}

// The first offset below limit in data[0, size) where an entry starts.
bool Scan(const std::uint8_t* data, std::size_t size, std::size_t limit, int version,
          const Str255& password, std::size_t& offset) {
    static constexpr std::string_view kStem = "Tazu16x32.0";
    const std::size_t last =
        std::min(limit, size >= kCandidateSize ? size - kCandidateSize + 1 : 0);
    for (std::size_t i = 0; i < last; ++i) {
        const void* t = std::memchr(data + i, kStem[0], last - i);
        if (t == nullptr) {
            return false;
        }
        i = static_cast<std::size_t>(static_cast<const std::uint8_t*>(t) - data);
        if (std::memcmp(data + i, kStem.data(), kStem.size()) == 0 &&
            StartsEntry(data + i, version, password)) {
            offset = i;
            return true;
        }
    }
    return false;
}

}  // namespace

std::size_t RewindableInput::Fill(std::size_t n) {
    std::size_t available = buffer_.size() - pos_;
    if (available >= n || at_end_) {
        return std::min(available, n);
    }
    // Bytes before the mark (and before the read position) are not needed
    // again, nor more than kHistory bytes back: a mark is only ever
    // returned to within one header or one block.
    std::uint64_t keep_from = std::min(mark_, Position());
    if (Position() - keep_from > kHistory) {
        keep_from = Position() - kHistory;
    }
    const auto drop = static_cast<std::size_t>(keep_from - begin_);
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(drop));
    begin_ += drop;
    pos_ -= drop;
    while (available < n && !at_end_) {
        const std::size_t old = buffer_.size();
        const std::size_t want = std::max(n - available, kReadAhead);
        buffer_.resize(old + want);
        const std::size_t got = inner_.Read(buffer_.data() + old, want);
        buffer_.resize(old + got);
        at_end_ = got == 0;
        available += got;
    }
    return std::min(available, n);
}

std::size_t RewindableInput::Read(std::uint8_t* out, std::size_t count) {
    const std::size_t n = Fill(count);
    std::memcpy(out, buffer_.data() + pos_, n);
    pos_ += n;
    return n;
}

std::size_t RewindableInput::Peek(std::size_t count, const std::uint8_t** data) {
    const std::size_t n = Fill(count);
    *data = buffer_.data() + pos_;
    return n;
}

void RewindableInput::Consume(std::size_t n) {
    pos_ += std::min(n, buffer_.size() - pos_);
}

bool LocateEntryStart(RewindableInput& in, int version, const Str255& password, std::size_t within,
                      std::size_t& offset) {
    const std::uint8_t* data = nullptr;
    const std::size_t size = in.Peek(within + kCandidateSize - 1, &data);
    return Scan(data, size, within, version, password, offset);
}

bool SkipToNextEntry(RewindableInput& in, int version, const Str255& password, DecryptHost& host,
                     const DecryptRunState& state, bool& aborted) {
    aborted = false;
    for (;;) {
        in.Mark();  // nothing before here is looked at again
        const std::uint8_t* data = nullptr;
        const std::size_t size = in.Peek(kReadAhead + kCandidateSize - 1, &data);
        std::size_t offset = 0;
        if (Scan(data, size, kReadAhead, version, password, offset)) {
            in.Consume(offset);
            return true;
        }
        if (size < kCandidateSize) {
            in.Consume(size);
            return false;  // too few bytes left for an entry
        }
        in.Consume(std::min(size - kCandidateSize + 1, kReadAhead));
        host.ProcessEvents();
        if (state.DecryptCancelled) {
            aborted = true;
            return false;
        }
    }
}

std::string SkippedBytesLine(std::uint64_t from, std::uint64_t to, const Str255& name) {
    std::string line = TrFill("-) Пропущены байты {}-{}: не читаются как запись",
                              {std::to_string(from), std::to_string(to)});
    if (!name.empty()) {
        line += TrFill(" (поврежденная запись {})", {name.str()});
    }
    return line;
}

}  // namespace tazu
