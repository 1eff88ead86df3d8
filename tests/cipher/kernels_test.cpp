// Every kernel set the processor has must give the plain kernels' results
// for every length the cipher uses, at every alignment.
#include "cipher/kernels.h"

#include <gtest/gtest.h>

#include <cstring>

#if !defined(_WIN32)
#include <sys/mman.h>
#include <unistd.h>
#endif

#include "cipher/kernel_tables.h"
#include "cipher/random.h"

namespace tazu {
namespace {

using internal::KernelTable;

struct Bytes {
    std::uint8_t v[300];
};

Bytes Fill(Random& random) {
    Bytes b;
    random.Bytes(b.v, sizeof b.v);
    return b;
}

void ExpectSameStreams(const KernelTable& k, const KernelTable& p, Random& random, std::size_t n,
                       std::size_t offset) {
    const Bytes x = Fill(random), y = Fill(random), z = Fill(random);
    const auto d = static_cast<std::uint8_t>(random.Below(256));
    Bytes got = {}, want = {};
    k.affine_bytes(got.v + offset, x.v, n, d, 13);
    p.affine_bytes(want.v + offset, x.v, n, d, 13);
    ASSERT_EQ(std::memcmp(got.v, want.v, sizeof got.v), 0) << "affine " << n;
    k.table_bytes(got.v, x.v + offset, y.v, z.v, n, d);
    p.table_bytes(want.v, x.v + offset, y.v, z.v, n, d);
    ASSERT_EQ(std::memcmp(got.v, want.v, sizeof got.v), 0) << "table " << n;
    k.add_two_keys(got.v + offset, x.v, y.v + offset, z.v, n, d);
    p.add_two_keys(want.v + offset, x.v, y.v + offset, z.v, n, d);
    ASSERT_EQ(std::memcmp(got.v, want.v, sizeof got.v), 0) << "add two " << n;
    k.sub_two_keys(got.v, x.v + offset, y.v, z.v, n, d);
    p.sub_two_keys(want.v, x.v + offset, y.v, z.v, n, d);
    ASSERT_EQ(std::memcmp(got.v, want.v, sizeof got.v), 0) << "sub two " << n;
    k.add_stream(got.v + offset, got.v + offset, x.v, n);  // in place, as the cipher does
    p.add_stream(want.v + offset, want.v + offset, x.v, n);
    ASSERT_EQ(std::memcmp(got.v, want.v, sizeof got.v), 0) << "add " << n;
    k.sub_stream(got.v, x.v + offset, y.v, n);
    p.sub_stream(want.v, x.v + offset, y.v, n);
    ASSERT_EQ(std::memcmp(got.v, want.v, sizeof got.v), 0) << "sub " << n;
}

void ExpectSameSums(const KernelTable& k, const KernelTable& p, Random& random, std::size_t n,
                    std::size_t offset) {
    Bytes x = Fill(random);
    if (n % 17 == 0) {
        std::memset(x.v, 0xFF, sizeof x.v);  // the largest sums
    }
    const Bytes z = Fill(random);
    const auto len = static_cast<std::uint32_t>(n);
    ASSERT_EQ(k.digest_sum(x.v + offset, len), p.digest_sum(x.v + offset, len)) << n;
    const std::size_t m = random.Below(257);
    ASSERT_EQ(k.stepped_sum(x.v + offset, n, m), p.stepped_sum(x.v + offset, n, m)) << n;
    const std::size_t split = random.Below(static_cast<std::uint32_t>(n + 1));
    Bytes got = x, want = x;
    ASSERT_EQ(k.add_stream_walked_sum(got.v + offset, z.v, n, split),
              p.add_stream_walked_sum(want.v + offset, z.v, n, split))
        << n << " split " << split;
    ASSERT_EQ(std::memcmp(got.v, want.v, sizeof got.v), 0) << "walked " << n;
    const std::size_t short_len = 1 + random.Below(15);
    if (short_len < n) {
        const auto d = static_cast<std::uint8_t>(random.Below(256));
        Bytes got_b = x, want_b = x;
        ASSERT_EQ(k.advance_short_key(got_b.v + offset, n, z.v, short_len, d, split),
                  p.advance_short_key(want_b.v + offset, n, z.v, short_len, d, split))
            << n << " key " << short_len;
        ASSERT_EQ(std::memcmp(got_b.v, want_b.v, sizeof got_b.v), 0) << "advance " << n;
    }
    const std::size_t key_len = 1 + random.Below(40);
    std::uint8_t rep_got[256], rep_want[256];
    k.repeat_key(x.v + offset, key_len, std::max(n, key_len), rep_got);
    p.repeat_key(x.v + offset, key_len, std::max(n, key_len), rep_want);
    ASSERT_EQ(std::memcmp(rep_got, rep_want, std::max(n, key_len)), 0) << "repeat " << key_len;
}

// The fused block kernels on a key of len bytes in its aligned buffer, whose
// bytes past len are scratch: only the first n output bytes and the key's
// len bytes count.
struct alignas(64) BlockKey {
    std::uint8_t v[256];
};

void ExpectSameBlocks(const KernelTable& k, const KernelTable& p, Random& random, std::size_t n,
                      std::size_t offset) {
    if (n < 8) {
        return;
    }
    const std::size_t len = n + random.Below(static_cast<std::uint32_t>(256 - n));
    const internal::RandomWalk walk = internal::MakeRandomWalk(len);
    const Bytes x = Fill(random), b2 = Fill(random);
    const auto d = static_cast<std::uint8_t>(random.Below(256));
    BlockKey key_got, key_want;
    random.Bytes(key_got.v, sizeof key_got.v);
    std::memcpy(key_want.v, key_got.v, sizeof key_got.v);
    Bytes got = {}, want = {};
    const std::uint8_t* chunk = x.v + offset;
    const std::uint8_t* noise = x.v + 280;  // apart from the chunk, as batches keep them
    ASSERT_EQ(
        k.encipher_block(got.v + offset, chunk, n - 7, noise, key_got.v, len, b2.v, d, walk),
        p.encipher_block(want.v + offset, chunk, n - 7, noise, key_want.v, len, b2.v, d, walk))
        << "encipher " << n << " key " << len;
    ASSERT_EQ(std::memcmp(got.v, want.v, sizeof got.v), 0) << "encipher " << n;
    ASSERT_EQ(std::memcmp(key_got.v, key_want.v, len), 0) << "encipher key " << n;
    Bytes plain_got = {}, plain_want = {};
    ASSERT_EQ(k.decipher_block(plain_got.v, got.v + offset, n, key_got.v, len, b2.v, d, walk),
              p.decipher_block(plain_want.v, want.v + offset, n, key_want.v, len, b2.v, d, walk))
        << "decipher " << n << " key " << len;
    ASSERT_EQ(std::memcmp(plain_got.v, plain_want.v, sizeof plain_got.v), 0) << "decipher " << n;
    ASSERT_EQ(std::memcmp(key_got.v, key_want.v, len), 0) << "decipher key " << n;
}

TEST(KernelSets, EverySupportedSetMatchesThePlainKernels) {
    const KernelSet before = ActiveKernelSet();
    int checked = 0;
    for (const KernelSet set : kAllKernelSets) {
        if (!KernelSetSupported(set)) {
            continue;
        }
        ASSERT_TRUE(ForceKernelSet(set));
        const KernelTable& k = internal::Kernels();
        SeededRandom random(17);
        for (std::size_t n = 1; n <= 255; ++n) {
            for (std::size_t offset : {0, 1, 31}) {
                SCOPED_TRACE(KernelSetName(set));
                ExpectSameStreams(k, internal::kPlainKernels, random, n, offset);
                ExpectSameSums(k, internal::kPlainKernels, random, n, offset);
                ExpectSameBlocks(k, internal::kPlainKernels, random, n, offset);
            }
        }
        ++checked;
    }
    ForceKernelSet(before);
    EXPECT_GE(checked, 1);
}

#if !defined(_WIN32)
// Pages each followed by one that may not be touched, for data that ends
// right before it: a kernel reading or writing a byte past the data faults.
class GuardedPages {
  public:
    explicit GuardedPages(std::size_t count)
        : page_(static_cast<std::size_t>(::sysconf(_SC_PAGESIZE))), count_(count) {
        void* base = ::mmap(nullptr, 2 * page_ * count, PROT_READ | PROT_WRITE,
                            MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (base == MAP_FAILED) {
            return;
        }
        base_ = static_cast<std::uint8_t*>(base);
        for (std::size_t i = 0; i < count; ++i) {
            guarded_ += ::mprotect(base_ + (2 * i + 1) * page_, page_, PROT_NONE) == 0 ? 1 : 0;
        }
    }
    ~GuardedPages() {
        if (base_ != nullptr) {
            ::munmap(base_, 2 * page_ * count_);
        }
    }
    GuardedPages(const GuardedPages&) = delete;
    GuardedPages& operator=(const GuardedPages&) = delete;
    bool Ready() const { return base_ != nullptr && guarded_ == count_; }
    // n bytes that end where page i's guard begins.
    std::uint8_t* End(std::size_t i, std::size_t n) { return base_ + (2 * i + 1) * page_ - n; }

  private:
    std::size_t page_;
    std::size_t count_;
    std::uint8_t* base_ = nullptr;
    std::size_t guarded_ = 0;
};

TEST(KernelSets, BlockKernelsStayInsideTheirData) {
    const KernelSet before = ActiveKernelSet();
    GuardedPages pages(4);
    ASSERT_TRUE(pages.Ready());
    SeededRandom random(23);
    for (const KernelSet set : kAllKernelSets) {
        if (!KernelSetSupported(set)) {
            continue;
        }
        ASSERT_TRUE(ForceKernelSet(set));
        const KernelTable& k = internal::Kernels();
        for (const std::size_t n : {8, 31, 32, 33, 63, 64, 65, 71, 200, 255}) {
            SCOPED_TRACE(KernelSetName(set));
            BlockKey key;
            random.Bytes(key.v, sizeof key.v);
            const internal::RandomWalk walk = internal::MakeRandomWalk(255);
            std::uint8_t* chunk = pages.End(0, n - 7);
            std::uint8_t* noise = pages.End(1, 7);
            std::uint8_t* b2 = pages.End(2, n);
            std::uint8_t* out = pages.End(3, n);
            random.Bytes(chunk, n - 7);
            random.Bytes(noise, 7);
            random.Bytes(b2, n);
            k.encipher_block(out, chunk, n - 7, noise, key.v, 255, b2, 9, walk);
            std::uint8_t* c = pages.End(0, n);
            std::memcpy(c, out, n);
            k.decipher_block(out, c, n, key.v, 255, b2, 9, walk);
        }
    }
    ForceKernelSet(before);
}
#endif

TEST(KernelSets, ForcingAnUnsupportedSetChangesNothing) {
    const KernelSet before = ActiveKernelSet();
    for (const KernelSet set : kAllKernelSets) {
        if (!KernelSetSupported(set)) {
            EXPECT_FALSE(ForceKernelSet(set)) << KernelSetName(set);
            EXPECT_EQ(ActiveKernelSet(), before);
        }
    }
    EXPECT_TRUE(KernelSetSupported(KernelSet::kPlain));
}

}  // namespace
}  // namespace tazu
