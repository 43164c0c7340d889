// The per-caption cost (under its lock), building the sorted alternative
// list, and reading the settings file at Init.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "dictionary/dictionary_store.h"
#include "platform/cp1251.h"
#include "settings/settings_persistence.h"

namespace {

// Distinct words in no particular order, two Cyrillic capitals each, in
// Windows-1251.
std::string Cp1251Word(uint32_t i) {
    const uint32_t h = i * 2654435761u;
    std::string word(1, 'w');
    word.append(std::to_string(h % 1000003)).append(1, '-').append(std::to_string(i));
    word += static_cast<char>(0xC0 + h % 32);
    word += static_cast<char>(0xC0 + (h >> 8) % 32);
    return word + " - translation";
}

// The same as the list holds it.
std::string Word(uint32_t i) { return DecodeCp1251(Cp1251Word(i)); }

void BM_NextCaption(benchmark::State& state) {
    DictionaryStore store;
    int32_t index = 0;
    std::string caption;
    for (int i = 0; i < state.range(0); ++i) InsertAltEntry(store.altDictionary, Word(static_cast<uint32_t>(i)));
    ResetOrder(store.altOrder, store.altDictionary.count() - 1);
    const auto order = static_cast<WordOrder>(state.range(1));
    for (auto _ : state) index = *store.NextCaption(kWordList, order, index, caption);
    benchmark::DoNotOptimize(index);
}
BENCHMARK(BM_NextCaption)->ArgsProduct({{5, 10000}, {0, 2}});

void BM_InsertAltEntry(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        AltDictionary dictionary;
        for (int i = 0; i < n; ++i) InsertAltEntry(dictionary, Word(static_cast<uint32_t>(i)));
        benchmark::DoNotOptimize(dictionary.lines.data());
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_InsertAltEntry)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_ReadAltDictionaryFile(benchmark::State& state) {
    char path[] = "/tmp/tpp-bench-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) {
        state.SkipWithError("no temp file");
        return;
    }
    close(fd);
    {
        const bool utf8 = state.range(1) != 0;
        std::ofstream out(path, std::ios::binary);
        for (int i = 0; i < state.range(0); ++i)
            out << (utf8 ? Word(static_cast<uint32_t>(i)) : Cp1251Word(static_cast<uint32_t>(i))) << "\r\n";
    }
    for (auto _ : state) {
        AltDictionary dictionary;
        benchmark::DoNotOptimize(ReadAltDictionaryFile(path, dictionary));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    std::remove(path);
}
// A Windows-1251 file (0) and the same in UTF-8 (1).
BENCHMARK(BM_ReadAltDictionaryFile)->ArgsProduct({{10000}, {0, 1}})->Unit(benchmark::kMillisecond);

void BM_LoadSettings(benchmark::State& state) {
    char folder[] = "/tmp/tpp-bench-XXXXXX";
    if (!mkdtemp(folder)) {
        state.SkipWithError("no temp folder");
        return;
    }
    platform::LocationFacts facts;
    facts.family = platform::SystemFamily::kNt;
    facts.hostExecutablePath = std::string(folder) + "/host.exe";
    facts.separator = '/';
    SettingsState settings;
    CSettingsFile& file = settings.settingsFile;
    file.Locate("TPP_25Frame", facts);
    LoadSettings(settings);
    SaveSettings(settings);  // the full "PluginSettings" section; "DEFAULT" missing
    for (auto _ : state) LoadSettings(settings);
    std::remove(file.path().c_str());
    rmdir(file.folder().c_str());
    rmdir(folder);
}
BENCHMARK(BM_LoadSettings)->Unit(benchmark::kMicrosecond);

}  // namespace
