#include "words/translator.h"

#include <algorithm>

#include "words/fold_case.h"

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
    const std::vector<std::string> forms = FormsOf(word);
    for (const auto* table : {&list_, &builtin_}) {
        for (const std::string& form : forms) {
            const auto found = table->find(form);
            if (found != table->end()) return Translation{form, found->second, table == &list_ ? "list" : "built-in"};
        }
    }
    for (const auto& dictionary : dictd_) {
        for (const std::string& form : forms) {
            const std::optional<std::string> article = dictionary->Article(form);
            if (!article) continue;
            std::string gloss = GlossOf(*article, form);
            if (!gloss.empty()) return Translation{form, std::move(gloss), dictionary->name()};
            // An inflected form's article that only points to its headword
            // ("went": "от go"): one step along the pointer.
            const std::string pointed = ReferencedHeadword(*article, form);
            if (pointed.empty()) continue;
            if (const std::optional<std::string> target = dictionary->Article(pointed)) {
                gloss = GlossOf(*target, pointed);
                if (!gloss.empty()) return Translation{pointed, std::move(gloss), dictionary->name()};
            }
        }
    }
    return std::nullopt;
}

bool Translator::IsCommon(std::string_view word) const {
    if (word.empty()) return false;
    for (const std::string& form : FormsOf(word))
        if (builtin_.count(form)) return true;
    return false;
}
