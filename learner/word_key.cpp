#include "learner/word_key.h"

#include "platform/case_folding.h"
#include "platform/utf8.h"

namespace learner {

namespace {

bool Blank(char32_t c) {
    return c == ' ' || (c >= '\t' && c <= '\r') || c == 0xA0 || (c >= 0x2000 && c <= 0x200A) || c == 0x202F ||
           c == 0x205F || c == 0x3000;
}

}  // namespace

std::string WordKey(std::string_view word) {
    std::string key;
    key.reserve(word.size());
    bool blank = false;
    for (size_t pos = 0; pos < word.size();) {
        const size_t start = pos;
        const char32_t c = DecodeUtf8(word, pos);
        // A byte that starts no sequence decodes as U+FFFD in one step (the
        // character itself takes three) and is kept as it is.
        const bool notUtf8 = c == kReplacementCharacter && pos == start + 1;
        if (!notUtf8 && Blank(c)) {
            blank = true;
            continue;
        }
        if (blank && !key.empty()) key += ' ';
        blank = false;
        if (notUtf8) {
            key += word[start];
        } else {
            AppendUtf8(key, SimpleCaseFold(c));
        }
    }
    return key;
}

}  // namespace learner
