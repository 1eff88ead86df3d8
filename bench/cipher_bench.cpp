// Speed of the primitives the data path runs per block, once per kernel
// set the processor has (names starting plain/, avx2/, avx512/), each beside
// the direct byte-by-byte form it replaces (the "Direct" benchmarks).
#include <benchmark/benchmark.h>

#include <string>

#include "cipher/block_cipher.h"
#include "cipher/constants.h"
#include "cipher/envelope.h"
#include "cipher/kernels.h"
#include "cipher/keyed.h"
#include "cipher/random.h"
#include "tests/cipher/reference_keyed.h"
#include "tests/support/random_string.h"

namespace tazu {
namespace {

using Transform = Str255 (*)(const Str255&, const Str255&);
using Digest = Str255 (*)(const Str255&, std::size_t, const Str255&);

template <Transform kAdd>
void BM_KeyedAdd252With255ByteKey(benchmark::State& state) {
    SeededRandom random(1);
    const Str255 data = RandomString(random, 252);
    const Str255 key = RandomString(random, 255);
    for (auto _ : state) {
        benchmark::DoNotOptimize(kAdd(data, key));
    }
    state.SetBytesProcessed(state.iterations() * 252);
}
BENCHMARK(BM_KeyedAdd252With255ByteKey<reference::KeyedAdd>)->Name("Direct/KeyedAdd252Key255");

template <Transform kAdd>
void BM_KeyedAdd255With7ByteKey(benchmark::State& state) {
    SeededRandom random(2);
    const Str255 data = RandomString(random, 255);
    const Str255 key = RandomString(random, 7);
    for (auto _ : state) {
        benchmark::DoNotOptimize(kAdd(data, key));
    }
    state.SetBytesProcessed(state.iterations() * 255);
}
BENCHMARK(BM_KeyedAdd255With7ByteKey<reference::KeyedAdd>)->Name("Direct/KeyedAdd255Key7");

template <Digest kDigest>
void BM_KeyedDigest252(benchmark::State& state) {
    SeededRandom random(4);
    const Str255 data = RandomString(random, 252);
    const Str255 key = KeyedAdd(BuiltInKey(), RandomString(random, 5));
    for (auto _ : state) {
        benchmark::DoNotOptimize(kDigest(data, 2, key));
    }
    state.SetBytesProcessed(state.iterations() * 252);
}
BENCHMARK(BM_KeyedDigest252<reference::KeyedDigest>)->Name("Direct/KeyedDigest252");

// The whole per-block work of the writer: two keyed adds with the block
// keys, the block-key update with the 7 random bytes, and the signature.
template <Transform kAdd, Digest kDigest>
void BM_BlockWork(benchmark::State& state) {
    SeededRandom random(5);
    const Str255 chunk = RandomString(random, 245);
    Str255 b1 = RandomString(random, 255);
    const Str255 b2 = RandomString(random, 254);
    const Str255 sig_key = KeyedAdd(BuiltInKey(), RandomString(random, 5));
    for (auto _ : state) {
        Str255 plain = chunk;
        Str255 s;
        for (int i = 0; i < 7; ++i) {
            s.push_back(random.Byte());
        }
        plain.append(s);
        const Str255 c = kAdd(kAdd(plain, b1), b2);
        b1 = kAdd(b1, s);
        benchmark::DoNotOptimize(kDigest(c, 2, sig_key));
    }
    state.SetBytesProcessed(state.iterations() * 245);
}
BENCHMARK(BM_BlockWork<reference::KeyedAdd, reference::KeyedDigest>)->Name("Direct/BlockWork");

// The same work through the fused block cipher the archive engines use.
void BM_FusedBlockWork(benchmark::State& state) {
    SeededRandom random(5);
    const Str255 chunk = RandomString(random, 245);
    BlockCipher cipher(RandomString(random, 255), RandomString(random, 254),
                       KeyedAdd(BuiltInKey(), RandomString(random, 5)));
    std::uint8_t c[255];
    std::uint8_t sig[2];
    for (auto _ : state) {
        std::uint8_t s[7];
        for (auto& b : s) {
            b = random.Byte();
        }
        cipher.Encipher(chunk.data(), chunk.size(), s, c, sig);
        benchmark::DoNotOptimize(sig);
    }
    state.SetBytesProcessed(state.iterations() * 245);
}

void BM_FusedBlockDecipher(benchmark::State& state) {
    SeededRandom random(7);
    const Str255 c = RandomString(random, 252);
    const Str255 sig = RandomString(random, 2);
    BlockCipher cipher(RandomString(random, 255), RandomString(random, 254),
                       KeyedAdd(BuiltInKey(), RandomString(random, 5)));
    std::uint8_t plain[255];
    for (auto _ : state) {
        benchmark::DoNotOptimize(cipher.Verify(c.data(), c.size(), sig.data()));
        benchmark::DoNotOptimize(cipher.Decipher(c.data(), c.size(), plain));
    }
    state.SetBytesProcessed(state.iterations() * 245);
}

void BM_Envelope(benchmark::State& state) {
    SeededRandom random(3);
    const Str255 data = RandomString(random, 128);
    const Str255 key = RandomString(random, 32);
    for (auto _ : state) {
        benchmark::DoNotOptimize(Envelope(data, key, random));
    }
}
BENCHMARK(BM_Envelope);

void BM_DoubleEnvelope(benchmark::State& state) {
    SeededRandom random(6);
    const Str255 data = RandomString(random, 56);
    const Str255 key = RandomString(random, 12);
    for (auto _ : state) {
        benchmark::DoNotOptimize(DoubleEnvelope(data, key, random));
    }
}
BENCHMARK(BM_DoubleEnvelope);

// The two halves of a block's deciphering that run on different threads:
// the block key chain (deciphering and the key update) and the check (the
// signature).
void BM_ChainDecipher(benchmark::State& state) {
    SeededRandom random(8);
    const Str255 c = RandomString(random, 252);
    BlockCipher cipher(RandomString(random, 255), RandomString(random, 254), Str255("k"));
    std::uint8_t plain[255];
    for (auto _ : state) {
        benchmark::DoNotOptimize(cipher.Decipher(c.data(), c.size(), plain));
    }
    state.SetBytesProcessed(state.iterations() * 245);
}

void BM_CheckBlock(benchmark::State& state) {
    SeededRandom random(9);
    const Str255 c = RandomString(random, 252);
    const Str255 sig = RandomString(random, 2);
    const BlockCipher cipher(RandomString(random, 255), RandomString(random, 254),
                             KeyedAdd(BuiltInKey(), RandomString(random, 5)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(cipher.Verify(c.data(), c.size(), sig.data()));
    }
    state.SetBytesProcessed(state.iterations() * 245);
}

struct KernelBenchmark {
    const char* name;
    void (*run)(benchmark::State&);
};
const KernelBenchmark kKernelBenchmarks[] = {
    {"KeyedAdd252Key255", BM_KeyedAdd252With255ByteKey<KeyedAdd>},
    {"KeyedAdd255Key7", BM_KeyedAdd255With7ByteKey<KeyedAdd>},
    {"KeyedDigest252", BM_KeyedDigest252<KeyedDigest>},
    {"BlockWork", BM_BlockWork<KeyedAdd, KeyedDigest>},
    {"FusedBlockWork", BM_FusedBlockWork},
    {"FusedBlockDecipher", BM_FusedBlockDecipher},
    {"ChainDecipher", BM_ChainDecipher},
    {"CheckBlock", BM_CheckBlock},
};

void RegisterPerKernel() {
    for (const KernelSet set : kAllKernelSets) {
        if (!KernelSetSupported(set)) {
            continue;
        }
        for (const KernelBenchmark& b : kKernelBenchmarks) {
            const std::string name = std::string(KernelSetName(set)) + "/" + b.name;
            benchmark::RegisterBenchmark(name.c_str(), [set, run = b.run](benchmark::State& st) {
                ForceKernelSet(set);
                run(st);
            });
        }
    }
}

}  // namespace
}  // namespace tazu

int main(int argc, char** argv) {
    tazu::RegisterPerKernel();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
