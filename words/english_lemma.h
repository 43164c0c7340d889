// English words brought to their dictionary forms: WordNet's exception
// lists for the irregular ones (went, mice, better), suffix rules for the
// rest. With WordNet's index files beside the lists, a suffix rule's
// result counts only when WordNet has it as a word of the rule's kind, as
// WordNet's own lookup does ("being" gives "be", not "bee").
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class EnglishLemmas {
public:
    // Reads WordNet's exception lists (noun.exc, verb.exc, adj.exc, adv.exc)
    // and, when present, its index files from `folder`; with no folder or no
    // files, suffix rules alone.
    explicit EnglishLemmas(const std::string& folder = "/usr/share/wordnet");
    // The lemmas a lower-case word may have, most likely first, the word
    // itself not included ("went" -> {"go"}, "lighthouses" -> {"lighthouse"},
    // "cities" -> {"city"}).
    std::vector<std::string> Lemmas(std::string_view lower_word) const;

    // The British spellings of an American one, for dictionaries that have
    // only those ("neighbor" -> {"neighbour"}, "center" -> {"centre"},
    // "offense" -> {"offence"}); empty when there is none to try.
    static std::vector<std::string> BritishSpellings(std::string_view lower_word);

    // The forms the exception lists hold; 0 when none were read.
    size_t exception_count() const { return exceptions_.size(); }

private:
    enum Kind { kNoun, kVerb, kAdjective, kAdverb, kKinds };
    bool Known(Kind kind, const std::string& word) const;

    std::unordered_map<std::string, std::vector<std::string>> exceptions_;
    std::unordered_set<std::string> known_[kKinds];
    bool have_index_ = false;
};
