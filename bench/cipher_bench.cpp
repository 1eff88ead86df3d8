// Speed of the primitives the data path runs per block.
#include <benchmark/benchmark.h>

#include "cipher/constants.h"
#include "cipher/envelope.h"
#include "cipher/keyed.h"
#include "cipher/random.h"

namespace tazu {
namespace {

Str255 RandomString(Random& random, std::size_t len) {
    Str255 s;
    for (std::size_t i = 0; i < len; ++i) {
        s.push_back(random.Byte());
    }
    return s;
}

void BM_KeyedAdd252With255ByteKey(benchmark::State& state) {
    SeededRandom random(1);
    const Str255 data = RandomString(random, 252);
    const Str255 key = RandomString(random, 255);
    for (auto _ : state) {
        benchmark::DoNotOptimize(KeyedAdd(data, key));
    }
    state.SetBytesProcessed(state.iterations() * 252);
}
BENCHMARK(BM_KeyedAdd252With255ByteKey);

void BM_KeyedAdd255WithShortKey(benchmark::State& state) {
    SeededRandom random(2);
    const Str255 data = RandomString(random, 255);
    const Str255 key = RandomString(random, 7);
    for (auto _ : state) {
        benchmark::DoNotOptimize(KeyedAdd(data, key));
    }
    state.SetBytesProcessed(state.iterations() * 255);
}
BENCHMARK(BM_KeyedAdd255WithShortKey);

void BM_Envelope(benchmark::State& state) {
    SeededRandom random(3);
    const Str255 data = RandomString(random, 128);
    const Str255 key = RandomString(random, 32);
    for (auto _ : state) {
        benchmark::DoNotOptimize(Envelope(data, key, random));
    }
}
BENCHMARK(BM_Envelope);

void BM_KeyedDigest252(benchmark::State& state) {
    SeededRandom random(4);
    const Str255 data = RandomString(random, 252);
    const Str255 key = KeyedAdd(BuiltInKey(), RandomString(random, 5));
    for (auto _ : state) {
        benchmark::DoNotOptimize(KeyedDigest(data, 2, key));
    }
    state.SetBytesProcessed(state.iterations() * 252);
}
BENCHMARK(BM_KeyedDigest252);

}  // namespace
}  // namespace tazu
