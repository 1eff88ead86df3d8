// After an encryption and an extraction, nothing in the process's writable
// memory holds the runs' salts, block keys, envelope noise, password or
// personal code: every random byte the generator handed out, and both
// secrets, are looked for in every writable mapping, read through
// /proc/self/mem. The test keeps its own copies masked, so they never match.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "decrypt/decrypt_object.h"
#include "encrypt/encrypt_object.h"
#include "tests/support/quiet_encrypt_host.h"
#include "tests/support/test_files.h"

namespace tazu::test {
namespace {

constexpr std::uint8_t kMask = 0xA5;
constexpr std::uint64_t kMask8 = 0x0101010101010101ull * kMask;
constexpr std::size_t kWindow = 16;  // bytes of a secret that count as found

std::uint64_t Mix(std::uint64_t z) {
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// SplitMix64 like SeededRandom, keeping a masked copy of all it makes.
class RecordingRandom final : public Random {
  public:
    explicit RecordingRandom(std::uint64_t seed) : state_(seed) {}
    void Reseed() override {}
    // The masked bytes handed out so far (not those still buffered).
    std::vector<std::uint8_t> HandedOut() const {
        return {made_.begin(), made_.end() - static_cast<std::ptrdiff_t>(Buffered())};
    }

  protected:
    void Fill(std::uint8_t* out, std::size_t count) override {
        for (std::size_t i = 0; i < count; ++i) {
            if (i % 8 == 0) {
                state_ += 0x9E3779B97F4A7C15ull;
                word_ = Mix(state_);
            }
            out[i] = static_cast<std::uint8_t>(word_ >> (8 * (i % 8)));
            made_.push_back(out[i] ^ kMask);
        }
        word_ = 0;
    }

  private:
    std::uint64_t state_;
    std::uint64_t word_ = 0;
    std::vector<std::uint8_t> made_;
};

std::vector<std::uint8_t> MaskedRandom(std::size_t n, std::uint64_t seed) {
    std::vector<std::uint8_t> out(n);
    for (std::size_t i = 0; i < n; ++i) {
        out[i] = static_cast<std::uint8_t>(Mix(seed + i) | 1) ^ kMask;
    }
    return out;
}

Str255 Unmasked(const std::vector<std::uint8_t>& masked) {
    Str255 s;
    for (std::uint8_t b : masked) {
        s.push_back(b ^ kMask);
    }
    return s;
}

std::uint64_t Load64(const std::uint8_t* p) {
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Every kWindow-byte piece of the needles, found by a hash of its first 8
// bytes masked (never the bytes themselves) and then compared masked.
class SecretFinder {
  public:
    void Add(const std::string& label, std::vector<std::uint8_t> masked) {
        // Hashed masked, so that no unmasked copy is ever made here.
        for (std::size_t o = 0; o + kWindow <= masked.size(); ++o) {
            const std::uint64_t h = Mix(Load64(masked.data() + o));
            index_.push_back({h, needles_.size(), o});
            bits_[h >> 48] |= 1ull << ((h >> 42) & 63);
        }
        needles_.push_back({label, std::move(masked)});
    }
    void Prepare() { std::sort(index_.begin(), index_.end()); }

    // What of the needles lies in bytes[0, n), which start at address at.
    void Scan(const std::uint8_t* bytes, std::size_t n, std::uintptr_t at, const std::string& where,
              std::vector<std::string>& found) const {
        std::size_t reported = 0;
        for (std::size_t i = 0; i + kWindow <= n && reported < 4; ++i) {
            const std::uint64_t h = Mix(Load64(bytes + i) ^ kMask8);
            if ((bits_[h >> 48] & (1ull << ((h >> 42) & 63))) == 0) {
                continue;
            }
            auto it = std::lower_bound(index_.begin(), index_.end(), Entry{h, 0, 0});
            for (; it != index_.end() && it->hash == h; ++it) {
                const auto& needle = needles_[it->needle].masked;
                std::size_t j = 0;
                while (j < kWindow && (bytes[i + j] ^ kMask) == needle[it->offset + j]) {
                    ++j;
                }
                if (j == kWindow) {
                    char text[160];
                    std::snprintf(text, sizeof text, "%s at byte %zu: address %#zx in %s",
                                  needles_[it->needle].label.c_str(), it->offset,
                                  static_cast<std::size_t>(at + i), where.c_str());
                    found.push_back(text);
                    ++reported;
                    i += kWindow - 1;  // one line for each piece found
                    break;
                }
            }
        }
    }

  private:
    struct Entry {
        std::uint64_t hash;
        std::size_t needle;
        std::size_t offset;
        bool operator<(const Entry& o) const { return hash < o.hash; }
    };
    struct Needle {
        std::string label;
        std::vector<std::uint8_t> masked;
    };
    std::vector<Needle> needles_;
    std::vector<Entry> index_;
    std::vector<std::uint64_t> bits_ = std::vector<std::uint64_t>(1 << 16);
};

// Reads every writable mapping (but the sanitizers' huge shadow areas and
// the read buffer itself) and looks for the needles in it.
std::vector<std::string> ScanWritableMemory(const SecretFinder& finder) {
    constexpr std::size_t kChunk = 1 << 20;
    // The sanitizers' shadow memory: mostly untouched and never ours.
    constexpr std::size_t kLargest = std::size_t{128} << 20;
    void* mapped = ::mmap(nullptr, kChunk + kWindow, PROT_READ | PROT_WRITE,
                          MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    auto* buffer = static_cast<std::uint8_t*>(mapped);
    const auto own = reinterpret_cast<std::uintptr_t>(mapped);
    const int mem = ::open("/proc/self/mem", O_RDONLY | O_CLOEXEC);
    std::ifstream maps("/proc/self/maps");
    std::vector<std::string> found;
    std::string line;
    while (mapped != MAP_FAILED && mem >= 0 && std::getline(maps, line)) {
        std::uintptr_t begin = 0, end = 0;
        char perms[5] = {};
        int name_at = 0;
        if (std::sscanf(line.c_str(), "%zx-%zx %4s %*s %*s %*s %n", &begin, &end, perms, &name_at) <
                3 ||
            perms[0] != 'r' || perms[1] != 'w' || end - begin > kLargest ||
            (begin <= own && own < end)) {
            continue;
        }
        const std::string where = name_at > 0 ? line.substr(name_at) : "";
        for (std::uintptr_t at = begin; at < end; at += kChunk) {
            const std::size_t want = std::min<std::uintptr_t>(kChunk + kWindow - 1, end - at);
            const ssize_t got = ::pread(mem, buffer, want, static_cast<off_t>(at));
            if (got > 0) {
                finder.Scan(buffer, static_cast<std::size_t>(got), at,
                            where.empty() ? "an anonymous mapping" : where, found);
            }
        }
    }
    if (mem >= 0) {
        ::close(mem);
    }
    if (mapped != MAP_FAILED) {
        ::munmap(mapped, kChunk + kWindow);
    }
    return found;
}

// The stack below a frame as a run left it, copied before anything else
// can write over it (the scan itself needs a deep stack).
class StackSnapshot {
  public:
    static constexpr std::size_t kDepth = 256 * 1024;
    explicit StackSnapshot(int mem) : mem_(mem), bytes_(kDepth) {}
    // Copies the stack below the caller's frame, down to kDepth bytes or the
    // stack's end.
    __attribute__((noinline)) void Take() {
        const std::uintptr_t page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
        top_ = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
        size_ = 0;
        std::uintptr_t chunk = top_ - (top_ & ~(page - 1));  // what lies in the top page
        if (chunk == 0) {
            chunk = page;
        }
        while (chunk > 0 && size_ + chunk <= kDepth &&
               ::pread(mem_, bytes_.data() + kDepth - size_ - chunk, chunk,
                       static_cast<off_t>(top_ - size_ - chunk)) == static_cast<ssize_t>(chunk)) {
            size_ += chunk;
            chunk = page;
        }
    }
    void Scan(const SecretFinder& finder, const std::string& what,
              std::vector<std::string>& found) {
        finder.Scan(bytes_.data() + kDepth - size_, size_, top_ - size_, what, found);
        std::fill(bytes_.begin(), bytes_.end(), 0);
    }

  private:
    int mem_;
    std::vector<std::uint8_t> bytes_;
    std::uintptr_t top_ = 0;
    std::size_t size_ = 0;
};

TEST(SecretsInMemory, NoneLeftAfterEncryptingAndExtracting) {
    TempDir dir;
    std::filesystem::create_directories(dir / "src" / "sub");
    WriteFile(dir / "src" / "a.txt", std::string(5000, 'a'));
    WriteFile(dir / "src" / "b.txt", "short");
    std::filesystem::create_directories(dir / "dest");
    WriteFile(dir / "src" / "sub" / "c.txt", std::string(70000, 'c'));
    const std::vector<std::uint8_t> password = MaskedRandom(40, 1000);
    const std::vector<std::uint8_t> personal_code = MaskedRandom(200, 2000);

    RecordingRandom random(77);
    QuietEncryptHost encrypt_host;
    EncryptRunState encrypt_state;
    RecordingHost decrypt_host;
    DecryptRunState decrypt_state;
    EncryptCode encrypt_code = EncryptCode::kOk;
    DecryptCode decrypt_code = DecryptCode::kOk;
    const int mem = ::open("/proc/self/mem", O_RDONLY | O_CLOEXEC);
    ASSERT_GE(mem, 0);
    StackSnapshot after_encrypt(mem);
    StackSnapshot after_decrypt(mem);
    {
        Str255 pw = Unmasked(password);
        Str255 code = Unmasked(personal_code);
        const Str255 mark("mark-of-the-store");
        EXPECT_TRUE(EncryptObject(pw, code, mark, dir / "out.shf", dir / "src",
                                  /*use_personal_code=*/true, EncryptMode::kFolder, encrypt_code,
                                  {encrypt_state, encrypt_host, random}));
        after_encrypt.Take();
        DecryptObject(pw, code, mark, dir / "out.shf", dir / "dest", decrypt_host, decrypt_state,
                      decrypt_code);
        after_decrypt.Take();
        pw.Wipe();
        code.Wipe();
    }
    ASSERT_EQ(encrypt_code, EncryptCode::kOk);
    ASSERT_EQ(decrypt_code, DecryptCode::kEndOfData);
    ASSERT_EQ(ListTree(dir / "dest").size(), 3u);

    SecretFinder finder;
    finder.Add("drawn random", random.HandedOut());
    finder.Add("password", password);
    finder.Add("personal code", personal_code);
    finder.Prepare();
    std::vector<std::string> found;
    after_encrypt.Scan(finder, "the stack after encrypting", found);
    after_decrypt.Scan(finder, "the stack after extracting", found);
    ::close(mem);
    for (const std::string& f : ScanWritableMemory(finder)) {
        found.push_back(f);
    }
    std::ostringstream text;
    for (const std::string& f : found) {
        text << f << "\n";
    }
    EXPECT_TRUE(found.empty()) << text.str();
}

}  // namespace
}  // namespace tazu::test
