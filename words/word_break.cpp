#include "words/word_break.h"

#include <unicode/ubrk.h>
#include <unicode/utext.h>

#include <map>
#include <memory>

namespace {

struct BreakCloser {
    void operator()(UBreakIterator* iterator) const { ubrk_close(iterator); }
};
using BreakIterator = std::unique_ptr<UBreakIterator, BreakCloser>;

// Opening a word break iterator loads and compiles ICU's rules; a film's
// lines reuse one per language and thread instead.
UBreakIterator* IteratorFor(const std::string& language) {
    thread_local std::map<std::string, BreakIterator> iterators;
    auto found = iterators.find(language);
    if (found != iterators.end()) return found->second.get();
    UErrorCode status = U_ZERO_ERROR;
    BreakIterator opened(ubrk_open(UBRK_WORD, language.c_str(), nullptr, 0, &status));
    if (U_FAILURE(status)) return nullptr;
    return iterators.emplace(language, std::move(opened)).first->second.get();
}

bool HasLetters(int32_t status) { return status >= UBRK_WORD_LETTER && status < UBRK_WORD_IDEO_LIMIT; }

}  // namespace

std::vector<std::string> SplitWords(std::string_view utf8_line, const std::string& language) {
    std::vector<std::string> words;
    UBreakIterator* iterator = IteratorFor(language);
    if (!iterator || utf8_line.empty()) return words;
    UErrorCode status = U_ZERO_ERROR;
    UText* text = utext_openUTF8(nullptr, utf8_line.data(), static_cast<int64_t>(utf8_line.size()), &status);
    if (U_FAILURE(status)) return words;
    ubrk_setUText(iterator, text, &status);
    if (U_SUCCESS(status)) {
        // Over UTF-8 text the iterator's positions are byte offsets.
        int32_t start = ubrk_first(iterator);
        for (int32_t end = ubrk_next(iterator); end != UBRK_DONE; start = end, end = ubrk_next(iterator)) {
            if (HasLetters(ubrk_getRuleStatus(iterator)))
                words.emplace_back(utf8_line.substr(static_cast<size_t>(start), static_cast<size_t>(end - start)));
        }
    }
    // The iterator must not keep a pointer to text about to go.
    UErrorCode reset = U_ZERO_ERROR;
    ubrk_setText(iterator, u"", 0, &reset);
    utext_close(text);
    return words;
}
