#include "film/preteach_plan.h"

#include <algorithm>

namespace {

constexpr int64_t kSecond = 1'000'000'000;

}  // namespace

std::vector<FilmCue> PlanCues(const FilmWords& film, const std::vector<SubtitleLine>& lines, const CueTiming& timing) {
    std::vector<FilmCue> cues;
    std::vector<bool> taught(film.unknown.size());
    int64_t nextAllowed = 0;
    for (size_t line = 0; line < lines.size(); ++line) {
        const int64_t lineStart = lines[line].start;
        const int64_t start = std::max<int64_t>(lineStart - timing.lead, 0);
        if (lineStart - start < kSecond || start < nextAllowed) continue;
        // Of the line's words not yet taught, the most frequent.
        int32_t best = -1;
        for (const int32_t word : film.unknownOfLine[line]) {
            if (!film.unknown[word].chosen || taught[word]) continue;
            if (best < 0 || film.unknown[word].count > film.unknown[best].count) best = word;
        }
        if (best < 0) continue;
        taught[best] = true;
        const int64_t end = std::min(start + timing.show, lineStart);
        cues.push_back({best, static_cast<int32_t>(line), start, end});
        nextAllowed = start + timing.every;
    }
    return cues;
}
