#include "film/film_words.h"

#include <algorithm>
#include <numeric>
#include <unordered_map>

#include "learner/word_key.h"
#include "words/dictd_dictionary.h"
#include "words/english_lemma.h"
#include "words/word_break.h"

namespace {

// What a written form comes to, looked up once per form.
struct Form {
    bool known = false;
    int32_t unknown = -1;  // index into FilmWords::unknown
};

bool Contains(const std::vector<std::string>& sorted, const std::string& key) {
    return std::binary_search(sorted.begin(), sorted.end(), key);
}

}  // namespace

std::unique_ptr<Translator> FilmTranslator(std::vector<std::pair<std::string, std::string>> listEntries,
                                           const BuiltinDictionary* builtin) {
    static const EnglishLemmas lemmas;
    return std::make_unique<Translator>(std::move(listEntries), builtin, OpenDictdForPair(kFilmLanguage, "ru"),
                                        &lemmas);
}

FilmWords AnalyseFilmWords(const std::vector<SubtitleLine>& lines, const Translator& translator,
                           const std::vector<std::string>& knownKeys, const std::string& language) {
    FilmWords film;
    film.unknownOfLine.resize(lines.size());
    std::unordered_map<std::string, Form> forms;
    std::unordered_map<std::string, int32_t> byHeadword;
    for (size_t line = 0; line < lines.size(); ++line) {
        for (const std::string& written : SplitWords(lines[line].text, language)) {
            const std::string key = learner::WordKey(written);
            auto [at, fresh] = forms.try_emplace(key);
            Form& form = at->second;
            if (fresh) {
                std::optional<Translation> translation = translator.Translate(key);
                const std::string headword = translation ? learner::WordKey(translation->headword) : key;
                form.known = translator.IsCommon(key) || Contains(knownKeys, key) || Contains(knownKeys, headword);
                if (!form.known) {
                    auto [word, added] = byHeadword.try_emplace(headword, static_cast<int32_t>(film.unknown.size()));
                    if (added) film.unknown.push_back({headword, 0, {}, std::move(translation)});
                    form.unknown = word->second;
                }
            }
            ++film.running;
            if (form.known) {
                ++film.known;
                continue;
            }
            FilmWord& word = film.unknown[form.unknown];
            ++word.count;
            if (word.lines.empty() || word.lines.back() != static_cast<int32_t>(line))
                word.lines.push_back(static_cast<int32_t>(line));
            std::vector<int32_t>& ofLine = film.unknownOfLine[line];
            if (std::find(ofLine.begin(), ofLine.end(), form.unknown) == ofLine.end()) ofLine.push_back(form.unknown);
        }
    }
    for (size_t line = 0; line < lines.size(); ++line)
        if (film.unknownOfLine[line].size() == 1) {
            film.oneUnknownLines.push_back(static_cast<int32_t>(line));
            film.unknown[film.unknownOfLine[line][0]].carriesLine = true;
        }
    for (FilmWord& word : film.unknown) word.chosen = word.translation && (word.count > 1 || word.carriesLine);

    // Most frequent first; the indexes the lines hold follow.
    std::vector<int32_t> order(film.unknown.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int32_t a, int32_t b) { return film.unknown[a].count > film.unknown[b].count; });
    std::vector<int32_t> place(order.size());
    std::vector<FilmWord> sorted;
    sorted.reserve(order.size());
    for (size_t i = 0; i < order.size(); ++i) {
        place[order[i]] = static_cast<int32_t>(i);
        sorted.push_back(std::move(film.unknown[order[i]]));
    }
    film.unknown = std::move(sorted);
    for (std::vector<int32_t>& ofLine : film.unknownOfLine)
        for (int32_t& index : ofLine) index = place[index];
    return film;
}
