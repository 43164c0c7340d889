#include "words/translator.h"

#include <algorithm>

#include "platform/case_folding.h"

Translator::Translator(std::vector<std::pair<std::string, std::string>> list_entries, const BuiltinDictionary* builtin,
                       std::vector<std::unique_ptr<DictdDictionary>> dictd, const EnglishLemmas* lemmas)
    : dictd_(std::move(dictd)), lemmas_(lemmas) {
    for (auto& [word, translation] : list_entries) list_.try_emplace(FoldCase(word), std::move(translation));
    if (builtin) {
        for (int32_t i = 0; i < builtin->count; ++i) {
            const DictEntry& entry = GetBuiltinEntry(*builtin, i);
            builtin_.try_emplace(FoldCase(entry.word), entry.translation);
        }
    }
}

std::vector<std::string> Translator::FormsOf(std::string_view word) const {
    std::vector<std::string> forms{FoldCase(word)};
    if (lemmas_)
        for (std::string& lemma : lemmas_->Lemmas(forms.front()))
            if (std::find(forms.begin(), forms.end(), lemma) == forms.end()) forms.push_back(std::move(lemma));
    return forms;
}

std::optional<Translation> Translator::Translate(std::string_view word) const {
    if (word.empty()) return std::nullopt;
    const std::string folded = FoldCase(word);
    {
        std::lock_guard<std::mutex> hold(lock_);
        if (auto found = looked_up_.find(folded); found != looked_up_.end()) return found->second;
    }
    const std::vector<std::string> forms = FormsOf(folded);
    std::optional<Translation> translation = Look(forms);
    // The lists and the built-in dictionary spell as the learner does;
    // a dictd dictionary may spell the British way only.
    if (!translation && lemmas_ && !dictd_.empty()) {
        std::vector<std::string> british;
        for (const std::string& form : forms)
            for (std::string& spelling : EnglishLemmas::BritishSpellings(form)) british.push_back(std::move(spelling));
        if (!british.empty()) translation = Look(british);
    }
    std::lock_guard<std::mutex> hold(lock_);
    looked_up_.emplace(folded, translation);
    return translation;
}

std::optional<Translation> Translator::Look(const std::vector<std::string>& forms) const {
    for (const auto* table : {&list_, &builtin_}) {
        for (const std::string& form : forms) {
            const auto found = table->find(form);
            if (found != table->end()) return Translation{form, found->second, table == &list_ ? "list" : "built-in"};
        }
    }
    for (const auto& dictionary : dictd_)
        for (const std::string& form : forms)
            if (auto translation = FromDictd(*dictionary, form, true)) return translation;
    return std::nullopt;
}

std::optional<Translation> Translator::FromDictd(const DictdDictionary& dictionary, const std::string& form,
                                                 bool follow) const {
    std::optional<Translation> letter;
    for (const std::string& article : dictionary.Articles(form)) {
        std::string gloss = GlossOf(article, form);
        if (gloss.empty()) {
            // An inflected form's article that points to its headword
            // ("went": "от go"): one step along the pointer, else the
            // article's own senses after it ("sealed": "от seal II" names
            // a headword mueller7 lacks).
            const std::string pointed = follow ? ReferencedHeadword(article, form) : std::string();
            if (pointed.empty()) continue;
            if (auto translation = FromDictd(dictionary, pointed, false)) return translation;
            gloss = GlossOf(article, form, 30, true);
            if (!gloss.empty()) return Translation{form, std::move(gloss), dictionary.name()};
        } else if (!NamesALetter(gloss)) {
            return Translation{form, std::move(gloss), dictionary.name()};
        } else if (!letter) {
            letter = Translation{form, std::move(gloss), dictionary.name()};
        }
    }
    return letter;
}

bool Translator::IsCommon(std::string_view word) const {
    if (word.empty()) return false;
    for (const std::string& form : FormsOf(word))
        if (builtin_.count(form)) return true;
    return false;
}
