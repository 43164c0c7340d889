// A film's words weighed for the learner: the CPU time of reading its
// subtitle lines with GStreamer, of loading the dictionaries (the built-in
// one decoded, mueller7's index, WordNet's exception lists) and of the
// analysis and the teaching plan, each once, as a run's start has them.
// Usage: film_words_bench FILE.srt
#include <time.h>

#include <cstdio>

#include "film/film_words.h"
#include "film/preteach_plan.h"
#include "plugin/embedded_dictionary.h"
#include "subtitles/subtitle_reader.h"

namespace {

double CpuSeconds() {
    timespec now;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Usage: film_words_bench FILE.srt\n");
        return 2;
    }
    double mark = CpuSeconds();
    std::string error;
    const std::vector<SubtitleLine> lines = ReadSubtitleLines(argv[1], error);
    if (lines.empty()) {
        std::fprintf(stderr, "film_words_bench: %s\n", error.c_str());
        return 1;
    }
    const double read = CpuSeconds() - mark;
    mark = CpuSeconds();
    const auto builtin = SharedBuiltinDictionary();
    const auto translator = FilmTranslator({}, builtin.get());
    const double loaded = CpuSeconds() - mark;
    mark = CpuSeconds();
    const FilmWords film = AnalyseFilmWords(lines, *translator, {}, kFilmLanguage);
    constexpr int64_t kSecond = 1'000'000'000;
    const std::vector<FilmCue> cues = PlanCues(film, lines, {4 * kSecond, 3 * kSecond, 20 * kSecond});
    const double analysed = CpuSeconds() - mark;
    std::printf("%zu lines, %lld words, %zu unknown, %zu cues\n", lines.size(), static_cast<long long>(film.running),
                film.unknown.size(), cues.size());
    std::printf("CPU s: read %.3f, dictionaries %.3f, analysis and plan %.3f; analysis with dictionaries %.3f\n", read,
                loaded, analysed, loaded + analysed);
    return 0;
}
