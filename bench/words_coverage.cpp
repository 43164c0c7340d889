// The words layer on a text of subtitles: how much of it the translator
// covers, and the CPU time of loading the dictionaries and of translating
// a film's lines.
//
//   words_coverage FILE [LINES]
//
// FILE is an .srt or .vtt (numbers, names, times and markup are skipped)
// or plain text, a line a caption. Coverage is of the 5,000 most frequent
// words (case folded) and of the running text; the timing translates
// every word of the first LINES lines (1,500 by default, a two-hour film's).
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/case_folding.h"
#include "plugin/embedded_dictionary.h"
#include "words/dictd_dictionary.h"
#include "words/english_lemma.h"
#include "words/translator.h"
#include "words/word_break.h"

namespace {

double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

bool IsTiming(const std::string& line) { return line.find("-->") != std::string::npos; }
bool IsNumber(const std::string& line) {
    return !line.empty() && std::all_of(line.begin(), line.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool StartsWith(const std::string& line, const char* word) { return line.rfind(word, 0) == 0; }

// The captions' text: .srt numbers and times dropped, <i> and {\an8} gone;
// in WebVTT the header, NOTE, STYLE and REGION blocks and cue names too
// (a name is the line just before the times).
std::vector<std::string> ReadLines(const std::string& path) {
    std::ifstream file(path);
    std::vector<std::string> lines;
    bool vtt = false, skipping_block = false, last_kept = false;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const bool kept_before = last_kept;
        last_kept = false;
        if (line.empty()) {
            skipping_block = false;
            continue;
        }
        if (skipping_block) continue;
        if (StartsWith(line, "\xEF\xBB\xBF")) line.erase(0, 3);
        if (lines.empty() && StartsWith(line, "WEBVTT")) vtt = true;
        if (vtt && (StartsWith(line, "WEBVTT") || StartsWith(line, "NOTE") || StartsWith(line, "STYLE") ||
                    StartsWith(line, "REGION"))) {
            skipping_block = true;
            continue;
        }
        if (IsTiming(line)) {
            if (kept_before) lines.pop_back();
            continue;
        }
        if (IsNumber(line)) continue;
        std::string text;
        for (size_t i = 0; i < line.size(); ++i) {
            const char close = line[i] == '<' ? '>' : line[i] == '{' ? '}' : 0;
            const size_t end = close ? line.find(close, i) : std::string::npos;
            if (end != std::string::npos) {
                i = end;
                continue;
            }
            text += line[i];
        }
        lines.push_back(std::move(text));
        last_kept = true;
    }
    return lines;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: words_coverage FILE [LINES]\n");
        return 2;
    }
    const size_t timed_lines = argc > 2 ? std::stoul(argv[2]) : 1500;
    const std::vector<std::string> lines = ReadLines(argv[1]);

    const double start = CpuSeconds();
    const EnglishLemmas lemmas;
    const double loaded_lemmas = CpuSeconds();
    auto dictd = OpenDictdForPair("en", "ru");
    const double loaded_dictd = CpuSeconds();
    const auto builtin = SharedBuiltinDictionary();
    const Translator translator({}, builtin.get(), std::move(dictd), &lemmas);
    const double loaded = CpuSeconds();

    size_t words = 0, found = 0;
    const size_t lines_timed = std::min(timed_lines, lines.size());
    for (size_t i = 0; i < lines_timed; ++i) {
        for (const std::string& word : SplitWords(lines[i], "en")) {
            ++words;
            found += translator.Translate(word).has_value();
        }
    }
    const double translated = CpuSeconds();
    std::printf("load: %.3f s CPU (WordNet %.3f s, mueller7's index %.3f s, built-in and translator %.3f s)\n",
                loaded - start, loaded_lemmas - start, loaded_dictd - loaded_lemmas, loaded - loaded_dictd);
    std::printf("translate: %.3f s CPU for %zu lines, %zu words (%zu found)\n", translated - loaded, lines_timed, words,
                found);
    std::printf("total: %.3f s CPU\n", translated - start);

    // Coverage, over the whole file.
    std::unordered_map<std::string, size_t> counts;
    size_t running = 0;
    for (const std::string& line : lines)
        for (const std::string& word : SplitWords(line, "en")) ++counts[FoldCase(word)], ++running;
    std::vector<std::pair<std::string, size_t>> ranked(counts.begin(), counts.end());
    std::sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) {
        return a.second != b.second ? a.second > b.second : a.first < b.first;
    });
    const size_t top = std::min<size_t>(5000, ranked.size());
    std::map<std::string, size_t> by_source;
    size_t covered = 0, covered_running = 0, running_top = 0;
    std::vector<std::string> missing;
    for (size_t i = 0; i < ranked.size(); ++i) {
        const auto translation = translator.Translate(ranked[i].first);
        if (translation) covered_running += ranked[i].second;
        if (i >= top) continue;
        running_top += ranked[i].second;
        if (translation) {
            ++covered;
            ++by_source[translation->source];
        } else if (missing.size() < 40) {
            missing.push_back(ranked[i].first);
        }
    }
    std::printf("text: %zu lines, %zu running words, %zu distinct\n", lines.size(), running, ranked.size());
    std::printf("coverage of the %zu most frequent: %zu (%.1f %%);", top, covered, 100.0 * covered / top);
    for (const auto& [source, count] : by_source) std::printf(" %s %zu", source.c_str(), count);
    std::printf("\ncoverage of the running text: %.1f %%\n", 100.0 * covered_running / running);
    const Translator dictd_alone({}, nullptr, OpenDictdForPair("en", "ru"), &lemmas);
    const size_t alone = static_cast<size_t>(
        std::count_if(ranked.begin(), ranked.begin() + static_cast<long>(top),
                      [&](const auto& word) { return dictd_alone.Translate(word.first).has_value(); }));
    std::printf("mueller7 alone, with the lemmas: %zu of %zu (%.1f %%)\n", alone, top, 100.0 * alone / top);
    std::printf("most frequent untranslated:");
    for (const std::string& word : missing) std::printf(" %s", word.c_str());
    std::printf("\n");
    return 0;
}
