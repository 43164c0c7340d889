// A subtitle line cut into its words by ICU's word break, the rules of the
// line's language; what counts as a word is ICU's to say, not ours.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The words of a line in order, found by ICU's word break for `language`
// (an ISO 639-1 code, "en"): only tokens with letters (UBRK_WORD_LETTER,
// IDEO, KANA); numbers, punctuation and spaces are dropped. Subtitle markup
// (<i>, {\an8}) is the caller's to strip. "don't" and "mother-in-law"'s
// parts come out as ICU cuts them.
std::vector<std::string> SplitWords(std::string_view utf8_line, const std::string& language);
