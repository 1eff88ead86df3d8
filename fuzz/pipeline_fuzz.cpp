// The block pipelines of both sides with their threads running: a file
// large enough that encryption and extraction both start their threads and
// write behind (more than two batches of 2048 blocks), its bytes spread
// deterministically from the input. The file is encrypted by the real
// writer, the archive then damaged as the input says (bytes changed, a
// stretch zeroed, the end cut) and extracted with the real signature
// checks, recovering or not.
//
// What must hold: an undamaged archive comes back byte for byte with no
// report line; a damaged one either says so (a report line, a failure code
// or a recovered stretch) or gives back the very bytes that went in; and
// nothing but the extracted file is left in the destination.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_support.h"

namespace {

using namespace tazu;
using namespace tazu::fuzz;

// Batches hold up to 2048 blocks of at most 255 bytes; the ring's thread
// and the write-behind thread start on both sides once a third is needed.
constexpr std::size_t kMinimumSize = 2 * 2048 * 255 + 1;

// size bytes made from pattern: the pattern repeated, every 4 KiB stretch
// mixed with a counter so that blocks differ, or all zero without one.
std::string SpreadBytes(const std::string& pattern, std::size_t size, std::uint64_t seed) {
    std::string out(size, '\0');
    SeededRandom random(seed);
    for (std::size_t i = 0; !pattern.empty() && i < size; ++i) {
        out[i] = pattern[i % pattern.size()];
    }
    for (std::size_t i = 0; (seed & 1) != 0 && i < size; i += 4096) {
        out[i] = static_cast<char>(random.Byte());
    }
    return out;
}

struct Damage {
    enum Kind : std::uint8_t { kFlip, kZero, kCut } kind;
    std::size_t offset;  // scaled to the archive's size
    std::uint8_t value;
};

// A cut leaves at least one byte: a file of none is an empty archive of the
// oldest format to the reader, which it rightly extracts as such.
void Apply(const Damage& d, std::string& archive) {
    if (archive.empty()) {
        return;
    }
    const std::size_t at = d.offset % archive.size();
    switch (d.kind) {
        case Damage::kFlip:
            archive[at] = static_cast<char>(archive[at] ^ (d.value | 1));
            break;
        case Damage::kZero:
            archive.replace(at, std::min<std::size_t>(d.value, archive.size() - at),
                            std::min<std::size_t>(d.value, archive.size() - at), '\0');
            break;
        case Damage::kCut:
            archive.resize(std::max<std::size_t>(at, 1));
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzReader in(data, size);
    const RoundTripKeys keys(in);
    const std::size_t file_size = kMinimumSize + in.Below(65536) * 2;
    const std::uint64_t seed = in.Byte() | (std::uint64_t{in.Byte()} << 8);
    const bool recover = (in.Byte() & 1) != 0;
    Damage damage[3];
    const std::size_t damage_count = in.Byte() % 4;
    for (std::size_t i = 0; i < damage_count; ++i) {
        damage[i] = Damage{static_cast<Damage::Kind>(in.Byte() % 3),
                           (std::size_t{in.Below(65536)} << 5) ^ in.Byte(), in.Byte()};
    }
    const std::string plain = SpreadBytes(in.Rest(), file_size, seed);

    const fs::path source = FreshFolder("source") / "data.bin";
    const fs::path archive = Scratch() / "data.shf";
    WriteWhole(source, plain);
    const EncryptOutcome written =
        EncryptWith(keys, archive, source, EncryptMode::kSingleFile, seed);
    if (!written.ok || !written.report.empty()) {
        std::abort();  // a readable file always encrypts
    }
    std::string bytes = *ReadWhole(archive);
    for (std::size_t i = 0; i < damage_count; ++i) {
        Apply(damage[i], bytes);
    }
    WriteWhole(archive, bytes);

    const fs::path out = FreshFolder("out");
    RecordingDecryptHost host;
    DecryptRunState state;
    const DecryptCode code = DecryptWith(keys, archive, out, host, state, recover);
    const bool clean =
        code == DecryptCode::kEndOfData && host.report.empty() && state.recovered == 0;
    const auto back = ReadWhole(out / "data.bin");
    if (damage_count == 0 && (!clean || back != plain)) {
        std::abort();  // an intact archive must come back whole and silent
    }
    if (clean && back != plain) {
        std::abort();  // damage that went unnoticed
    }
    for (const fs::path& p : TreeOf(out)) {
        if (p != "data.bin") {
            std::abort();  // a temporary file or a stray name was left behind
        }
    }
    return 0;
}
