#include "words/english_lemma.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>

namespace {

struct SuffixRule {
    std::string_view suffix;
    std::string_view ending;
    int kind;  // EnglishLemmas::Kind
};

// WordNet's own detachment rules, each kind in its order, with the doubled
// consonant (stopped, bigger), "ied", "ier" and "iest" and the adverbs' -ly
// that English spelling adds. The more specific suffix of a kind comes
// first, so that its result is the more likely one.
constexpr int kNounRule = 0, kVerbRule = 1, kAdjectiveRule = 2;
constexpr std::array kRules = {
    SuffixRule{"ies", "y", kNounRule},      SuffixRule{"ses", "s", kNounRule},
    SuffixRule{"xes", "x", kNounRule},      SuffixRule{"zes", "z", kNounRule},
    SuffixRule{"ches", "ch", kNounRule},    SuffixRule{"shes", "sh", kNounRule},
    SuffixRule{"men", "man", kNounRule},    SuffixRule{"s", "", kNounRule},
    SuffixRule{"ies", "y", kVerbRule},      SuffixRule{"es", "e", kVerbRule},
    SuffixRule{"es", "", kVerbRule},        SuffixRule{"s", "", kVerbRule},
    SuffixRule{"ied", "y", kVerbRule},      SuffixRule{"ed", "e", kVerbRule},
    SuffixRule{"ed", "", kVerbRule},        SuffixRule{"ing", "e", kVerbRule},
    SuffixRule{"ing", "", kVerbRule},       SuffixRule{"iest", "y", kAdjectiveRule},
    SuffixRule{"ier", "y", kAdjectiveRule}, SuffixRule{"est", "e", kAdjectiveRule},
    SuffixRule{"est", "", kAdjectiveRule},  SuffixRule{"er", "e", kAdjectiveRule},
    SuffixRule{"er", "", kAdjectiveRule},   SuffixRule{"ily", "y", kAdjectiveRule},
    SuffixRule{"ly", "", kAdjectiveRule},
};

bool EndsWith(std::string_view word, std::string_view suffix) {
    return word.size() > suffix.size() && word.substr(word.size() - suffix.size()) == suffix;
}

bool IsVowel(char c) { return c == 'a' || c == 'e' || c == 'i' || c == 'o' || c == 'u'; }

std::string ReadWhole(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Calls line(text) for each line of a file.
template <typename Each>
void ForEachLine(const std::string& path, Each line) {
    const std::string text = ReadWhole(path);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        line(std::string_view(text).substr(start, end - start));
        start = end + 1;
    }
}

void Add(std::vector<std::string>& lemmas, std::string_view word, std::string lemma) {
    if (lemma.empty() || lemma == word) return;
    if (std::find(lemmas.begin(), lemmas.end(), lemma) == lemmas.end()) lemmas.push_back(std::move(lemma));
}

// A clitic's host word: "don't" -> "do", "he's" -> "he", "we'll" -> "we";
// empty when the word has no apostrophe. The curly apostrophe counts too.
std::string HostOfClitic(std::string_view word) {
    std::string plain;
    for (size_t at = 0; at < word.size();) {
        const bool curly = word.substr(at, 3) == "\u2019";
        plain += curly ? '\'' : word[at];
        at += curly ? 3 : 1;
    }
    const size_t apostrophe = plain.rfind('\'');
    if (apostrophe == std::string::npos || apostrophe == 0) return {};
    static const std::pair<std::string_view, std::string_view> whole[] = {
        {"can't", "can"}, {"won't", "will"}, {"shan't", "shall"}, {"ain't", "be"}};
    for (const auto& [form, host] : whole)
        if (plain == form) return std::string(host);
    const std::string_view clitic = std::string_view(plain).substr(apostrophe);
    if (clitic == "'t" && apostrophe > 1 && plain[apostrophe - 1] == 'n') return plain.substr(0, apostrophe - 1);
    for (std::string_view known : {"'s", "'re", "'ve", "'ll", "'d", "'m", "'"})
        if (clitic == known) return plain.substr(0, apostrophe);
    return {};
}

// Captions write speech as it sounds; WordNet has none of these.
constexpr std::pair<std::string_view, std::string_view> kSpokenForms[] = {
    {"gonna", "go"},    {"wanna", "want"}, {"gotta", "get"},  {"gimme", "give"}, {"lemme", "let"},
    {"dunno", "know"},  {"kinda", "kind"}, {"sorta", "sort"}, {"outta", "out"},  {"ya", "you"},
    {"cuz", "because"}, {"mom", "mother"}, {"y'all", "you"},
};

}  // namespace

EnglishLemmas::EnglishLemmas(const std::string& folder) {
    if (folder.empty()) return;
    // Verbs first: in a film's lines an irregular form is most often a
    // verb's ("left", "saw").
    for (const char* list : {"verb.exc", "noun.exc", "adj.exc", "adv.exc"}) {
        ForEachLine(folder + "/" + list, [this](std::string_view line) {
            const size_t space = line.find(' ');
            if (space == std::string_view::npos) return;
            auto& bases = exceptions_[std::string(line.substr(0, space))];
            size_t start = space + 1;
            while (start < line.size()) {
                size_t end = line.find(' ', start);
                if (end == std::string_view::npos) end = line.size();
                std::string base(line.substr(start, end - start));
                if (!base.empty() && std::find(bases.begin(), bases.end(), base) == bases.end())
                    bases.push_back(std::move(base));
                start = end + 1;
            }
        });
    }
    const char* indexes[kKinds] = {"index.noun", "index.verb", "index.adj", "index.adv"};
    for (int kind = 0; kind < kKinds; ++kind) {
        ForEachLine(folder + "/" + indexes[kind], [this, kind](std::string_view line) {
            // The licence's lines start with spaces; a lemma of words joined
            // by "_" is never a single word's result.
            const size_t space = line.find(' ');
            if (space == 0 || space == std::string_view::npos) return;
            const std::string_view lemma = line.substr(0, space);
            if (lemma.find('_') == std::string_view::npos) known_[kind].emplace(lemma);
        });
        have_index_ = have_index_ || !known_[kind].empty();
    }
}

bool EnglishLemmas::Known(Kind kind, const std::string& word) const {
    return !have_index_ || known_[kind].count(word) > 0;
}

std::vector<std::string> EnglishLemmas::Lemmas(std::string_view lower_word) const {
    std::vector<std::string> lemmas;
    if (lower_word.empty()) return lemmas;
    for (const auto& [spoken, lemma] : kSpokenForms)
        if (lower_word == spoken) return {std::string(lemma)};
    const std::string host = HostOfClitic(lower_word);
    if (!host.empty()) {
        Add(lemmas, lower_word, host);
        for (std::string& lemma : Lemmas(host)) Add(lemmas, lower_word, std::move(lemma));
        return lemmas;
    }
    const std::string word(lower_word);
    if (auto found = exceptions_.find(word); found != exceptions_.end())
        for (const std::string& base : found->second) Add(lemmas, word, base);
    // A word WordNet lacks and no rule's result of which it has ("others":
    // "other" is no noun there) keeps the rules' unchecked results.
    std::vector<std::string> unchecked;
    const bool word_known = have_index_ && (known_[kNoun].count(word) || known_[kVerb].count(word) ||
                                            known_[kAdjective].count(word) || known_[kAdverb].count(word));
    for (const SuffixRule& rule : kRules) {
        if (!EndsWith(word, rule.suffix)) continue;
        const Kind kind = static_cast<Kind>(rule.kind);
        std::string stem = word.substr(0, word.size() - rule.suffix.size());
        // "stopped", "running", "bigger": the doubled last consonant goes
        // (after the stem as it is: "added", "called").
        const size_t n = stem.size();
        const bool doubled = rule.ending.empty() && n >= 3 && stem[n - 1] == stem[n - 2] && !IsVowel(stem[n - 1]) &&
                             stem[n - 1] != 's';
        std::string undoubled = doubled ? stem.substr(0, n - 1) : std::string();
        stem += rule.ending;
        if (stem.size() >= 2) {
            auto& into = Known(kind, stem) ? lemmas : unchecked;
            Add(into, word, std::move(stem));
        }
        if (doubled) {
            auto& into = Known(kind, undoubled) ? lemmas : unchecked;
            Add(into, word, std::move(undoubled));
        }
    }
    if (!word_known && lemmas.empty())
        for (std::string& lemma : unchecked) Add(lemmas, word, std::move(lemma));
    return lemmas;
}

std::vector<std::string> EnglishLemmas::BritishSpellings(std::string_view lower_word) {
    std::vector<std::string> spellings;
    const std::string word(lower_word);
    // -or (and its derivatives: neighborhood, favorite, colorless) -> -our.
    for (std::string_view after : {"", "s", "ed", "ing", "ite", "ites", "able", "ful", "less", "hood", "hoods"}) {
        const std::string suffix = "or" + std::string(after);
        if (word.size() > suffix.size() + 2 && word.ends_with(suffix))
            Add(spellings, word, word.substr(0, word.size() - suffix.size()) + "our" + std::string(after));
    }
    static const std::pair<std::string_view, std::string_view> endings[] = {
        {"er", "re"},   {"ers", "res"},    {"ense", "ence"},    {"og", "ogue"},      {"ize", "ise"},
        {"yze", "yse"}, {"eler", "eller"}, {"elers", "ellers"}, {"eling", "elling"}, {"eled", "elled"}};
    for (const auto& [american, british] : endings)
        if (word.size() > american.size() + 2 && word.ends_with(american))
            Add(spellings, word, word.substr(0, word.size() - american.size()) + std::string(british));
    static const std::pair<std::string_view, std::string_view> words[] = {
        {"math", "maths"},      {"whiskey", "whisky"},     {"gray", "grey"}, {"plow", "plough"},
        {"pajamas", "pyjamas"}, {"aluminum", "aluminium"}, {"mom", "mum"},   {"curb", "kerb"},
    };
    for (const auto& [american, british] : words)
        if (word == american) Add(spellings, word, std::string(british));
    // "cooperation", "coordinate": the older hyphen.
    if (word.size() > 5 && word.starts_with("co") && IsVowel(word[2])) Add(spellings, word, "co-" + word.substr(2));
    return spellings;
}
