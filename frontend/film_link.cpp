#include "frontend/film_link.h"

#include <algorithm>

#include "film/film_words.h"
#include "film/preteach_plan.h"
#include "learner/word_key.h"
#include "platform/file.h"
#include "plugin/embedded_dictionary.h"
#include "subtitles/subtitle_reader.h"

FilmLink::~FilmLink() = default;

std::unique_ptr<FilmLink> FilmLink::Load(const Sources& sources, std::string& why) {
    const std::vector<SubtitleLine> lines = ReadSubtitleLines(sources.subtitles, why);
    if (lines.empty()) return nullptr;
    const std::shared_ptr<const BuiltinDictionary> builtin = SharedBuiltinDictionary();
    const std::unique_ptr<Translator> translator = FilmTranslator(sources.listEntries, builtin.get());
    const FilmWords words = AnalyseFilmWords(lines, *translator, sources.knownKeys, kFilmLanguage);
    const std::vector<FilmCue> plan = PlanCues(words, lines, {sources.lead, sources.show, sources.every});
    std::unique_ptr<FilmLink> film(new FilmLink);
    film->list_ = platform::AbsolutePath(sources.subtitles);
    for (const FilmCue& cue : plan) {
        const FilmWord& word = words.unknown[cue.word];
        film->cues_.push_back({word.word, word.translation->text, lines[cue.line].text});
        film->times_.push_back({cue.start, cue.end, learner::WordKey(word.word)});
    }
    return film;
}

std::optional<ProvidedEntry> FilmLink::Due(int64_t at, bool once) {
    constexpr int64_t kSeekBack = 1'000'000'000;
    if (at + kSeekBack < last_)
        for (Timed& timed : times_)
            if (timed.start > at) timed.given = false;
    last_ = at;
    auto after = std::upper_bound(times_.begin(), times_.end(), at,
                                  [](int64_t time, const Timed& timed) { return time < timed.start; });
    if (after == times_.begin()) return std::nullopt;
    Timed& timed = *(after - 1);
    if (at >= timed.end || (once && timed.given)) return std::nullopt;
    if (std::binary_search(retired_.begin(), retired_.end(), timed.key)) return std::nullopt;
    timed.given = true;
    const auto index = static_cast<int32_t>(after - 1 - times_.begin());
    const Cue& cue = cues_[index];
    return ProvidedEntry{cue.word + " - " + cue.translation, index, timed.end - at};
}

void FilmLink::Retire(const std::string& key) {
    const auto at = std::lower_bound(retired_.begin(), retired_.end(), key);
    if (at == retired_.end() || *at != key) retired_.insert(at, key);
}
