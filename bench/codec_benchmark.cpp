// Speed of the built-in dictionary's decoder and of the packer, on the
// dictionary the build ships.
#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "dictionary/builtin_dictionary.h"
#include "dictionary/resource_decoder.h"
#include "tools/dicpack/resource_encoder.h"

namespace {

std::vector<uint8_t> ReadFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void BM_DecodeBuiltinDictionary(benchmark::State& state) {
    const std::vector<uint8_t> packed = ReadFile(TPP_DICTIONARY_PACKED);
    uint32_t size = 0;
    for (auto _ : state) {
        const DecodedResource decoded = DecodeResource(packed, {.maxSize = kMaxBuiltinDictionarySize, .strict = false});
        size = decoded.size;
        benchmark::DoNotOptimize(decoded.bytes.get());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * size);
    state.counters["raw_bytes"] = size;
    state.counters["packed_bytes"] = static_cast<double>(packed.size());
}
BENCHMARK(BM_DecodeBuiltinDictionary)->Unit(benchmark::kMillisecond);

void BM_EncodeBuiltinDictionary(benchmark::State& state) {
    const std::vector<uint8_t> pairs = ReadFile(TPP_DICTIONARY_PAIRS);
    size_t packed = 0;
    for (auto _ : state) packed = EncodeResource(pairs).size();
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * pairs.size()));
    state.counters["packed_bytes"] = static_cast<double>(packed);
}
BENCHMARK(BM_EncodeBuiltinDictionary)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
