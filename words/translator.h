// A word's translation from every source the learner has, in the order of
// trust: the learner's own lists, the built-in dictionary, then the dictd
// dictionaries. Each source is asked for the word as written, then for its
// lemmas, before the next source is asked at all.
//
// The built-in list's core: the built-in dictionary is sorted by headword
// and carries no rank, and every one of its words is already a common one
// (a core-frequency list). So the whole list is the core: a word is common
// when it, or one of its lemmas, is a built-in headword.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "dictionary/builtin_dictionary.h"
#include "words/dictd_dictionary.h"
#include "words/english_lemma.h"

struct Translation {
    std::string headword;  // the form found: the word or its lemma
    std::string text;      // the translation or gloss, caption-sized
    std::string source;    // "list", "built-in" or the dictd dictionary's name
};

class Translator {
public:
    // In this order: the learner's lists (word -> translation, as read by
    // the caller), the built-in dictionary, then the dictd dictionaries.
    // `lemmas` may be null (not English); it and `builtin` must outlive the
    // translator. A word listed twice keeps its first translation.
    Translator(std::vector<std::pair<std::string, std::string>> list_entries, const BuiltinDictionary* builtin,
               std::vector<std::unique_ptr<DictdDictionary>> dictd, const EnglishLemmas* lemmas);

    // The word as written, then its lemmas (then, for dictionaries that
    // spell the British way, their British spellings), in each source in
    // turn. Safe to call from several threads.
    std::optional<Translation> Translate(std::string_view word) const;
    // True when the word (or a lemma) is in the built-in list's core of
    // common words: words there are not worth pre-teaching.
    bool IsCommon(std::string_view word) const;

private:
    std::vector<std::string> FormsOf(std::string_view word) const;
    std::optional<Translation> Look(const std::vector<std::string>& forms) const;
    std::optional<Translation> FromDictd(const DictdDictionary& dictionary, const std::string& form, bool follow) const;

    std::unordered_map<std::string, std::string> list_;     // by case-folded word
    std::unordered_map<std::string, std::string> builtin_;  // by case-folded word
    std::vector<std::unique_ptr<DictdDictionary>> dictd_;
    const EnglishLemmas* lemmas_;
    // A film says its words many times: each is looked up once.
    mutable std::mutex lock_;
    mutable std::unordered_map<std::string, std::optional<Translation>> looked_up_;  // by case-folded word
};
