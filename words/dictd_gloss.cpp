// Glosses cut from dictd articles. The articles are free text, each
// dictionary with its habits; those of mueller7 and FreeDict's pairs:
//
//   go
//      [gɜʊ]
//      1. _v. (went - gone)
//         1) идти, ходить; быть в движении; ...
//
// A first line with the headword, a transcription in brackets, labels that
// start with "_" (_n., _v., _ам., _I), notes in parentheses, references in
// braces; senses numbered "1.", "1)", "а)" and within one sense its
// meanings parted by ";" and its synonyms by ",". The gloss is the first
// meaning of the first sense, with as many of its synonyms as fit.
#include <string>
#include <vector>

#include "platform/case_folding.h"
#include "platform/utf8.h"
#include "words/dictd_dictionary.h"

namespace {

constexpr char kBreak = '\x1f';  // between meanings, in the cleaned text

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Past the bracket that closes the one at `at`, nested ones included.
size_t PastClosing(std::string_view text, size_t at, char open, char close) {
    int depth = 0;
    for (size_t i = at; i < text.size(); ++i) {
        if (text[i] == open) ++depth;
        if (text[i] == close && --depth == 0) return i + 1;
    }
    return text.size();
}

// A sense's number at `at` ("12.", "3)", "а)", "b)"), followed by a space
// or the end; its length, or 0.
size_t SenseNumberAt(std::string_view text, size_t at) {
    size_t end = at;
    while (end < text.size() && IsDigit(text[end])) ++end;
    if (end == at) {
        size_t pos = at;
        const char32_t letter = DecodeUtf8(text, pos);
        const bool small_letter = (letter >= U'a' && letter <= U'z') || (letter >= U'а' && letter <= U'я');
        if (!small_letter || pos >= text.size() || text[pos] != ')') return 0;
        end = pos;
    } else if (end >= text.size() || (text[end] != '.' && text[end] != ')')) {
        return 0;
    }
    ++end;
    return end == text.size() || IsSpace(text[end]) ? end - at : 0;
}

// The article's body without its headword line, transcriptions, labels,
// notes and references, its meanings parted by kBreak.
std::string CleanBody(std::string_view article, std::string_view headword) {
    size_t line_end = article.find('\n');
    if (line_end == std::string_view::npos) line_end = article.size();
    std::string_view first = article.substr(0, line_end);
    while (!first.empty() && IsSpace(first.front())) first.remove_prefix(1);
    const std::string folded_head = FoldCase(headword);
    std::string_view body = article;
    if (!headword.empty() && FoldCase(first.substr(0, headword.size())) == folded_head &&
        (first.size() == headword.size() || IsSpace(first[headword.size()]) || first[headword.size()] == '/'))
        body = article.substr(std::min(article.size(), line_end + 1));
    std::string clean;
    bool token_start = true;
    for (size_t i = 0; i < body.size();) {
        const char c = body[i];
        if (c == '[') {
            i = PastClosing(body, i, '[', ']');
        } else if (c == '(') {
            i = PastClosing(body, i, '(', ')');
        } else if (c == '{') {
            i = PastClosing(body, i, '{', '}');
        } else if (c == '/' && token_start && body.find('/', i + 1) < body.find('\n', i)) {
            i = body.find('/', i + 1) + 1;  // FreeDict's pronunciation
        } else if (c == '_' && token_start) {
            // A label; "_I", "_II" number homonyms, each a sense of its own.
            const size_t label = i + 1;
            while (i < body.size() && !IsSpace(body[i]) && body[i] != '[') ++i;
            if (body.substr(label, i - label).find_first_not_of("IVX") == std::string_view::npos) clean += kBreak;
        } else if (c == ';') {
            clean += kBreak;
            ++i;
        } else if (size_t number = token_start ? SenseNumberAt(body, i) : 0) {
            clean += kBreak;
            i += number;
        } else {
            clean += IsSpace(c) ? ' ' : c;
            token_start = IsSpace(c);
            ++i;
            continue;
        }
        token_start = true;
    }
    return clean;
}

bool HasLetter(std::string_view text) {
    for (char c : text)
        if (IsAsciiLetter(c) || static_cast<unsigned char>(c) >= 0x80) return true;
    return false;
}

// Spaces collapsed, and the punctuation a cut leaves at either end gone.
std::string Tidy(std::string_view text) {
    std::string tidy;
    for (char c : text) {
        if (IsSpace(c) && (tidy.empty() || tidy.back() == ' ')) continue;
        tidy += c;
    }
    while (!tidy.empty() && (tidy.back() == ' ' || tidy.back() == ',' || tidy.back() == ':' || tidy.back() == '.'))
        tidy.pop_back();
    size_t lead = 0;
    while (lead < tidy.size() && (tidy[lead] == ',' || tidy[lead] == ' ' || tidy[lead] == ':')) ++lead;
    return tidy.substr(lead);
}

bool HasNonAsciiLetter(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    return false;
}

// Labels mueller7 writes without the "_": a part of speech standing alone
// ("как прил."), a Latin one before the translation ("pers мы", "prop
// наш") and a pointer after it ("неопределённый артикль см. a").
std::string WithoutBareLabels(std::string_view untidy) {
    std::string meaning = Tidy(untidy);
    const std::string_view as = "как ";
    if (meaning.starts_with(as) && meaning.find(' ', as.size()) == std::string::npos &&
        untidy.find('.') != std::string_view::npos)
        return {};
    if (const size_t see = meaning.find(" см. "); see != std::string::npos) meaning.resize(see);
    if (HasNonAsciiLetter(meaning)) {
        size_t lead = 0;
        while (lead < meaning.size() && IsAsciiLetter(meaning[lead])) {
            size_t end = lead;
            while (end < meaning.size() && IsAsciiLetter(meaning[end])) ++end;
            if (end >= meaning.size() || meaning[end] != ' ') break;
            lead = end + 1;
        }
        meaning.erase(0, lead);
    }
    return Tidy(meaning);
}

std::string PointedTo(std::string_view meaning);

// The first meaning with letters that is not the headword itself (nor,
// past_pointers, a pointer to another headword).
std::string FirstMeaning(std::string_view article, std::string_view headword, bool past_pointers = false) {
    const std::string clean = CleanBody(article, headword);
    const std::string folded_head = FoldCase(headword);
    for (size_t start = 0; start <= clean.size();) {
        size_t end = clean.find(kBreak, start);
        if (end == std::string::npos) end = clean.size();
        std::string meaning = WithoutBareLabels(std::string_view(clean).substr(start, end - start));
        start = end + 1;
        if (!HasLetter(meaning) || FoldCase(meaning) == folded_head) continue;
        if (!past_pointers || PointedTo(meaning).empty()) return meaning;
    }
    return {};
}

// The headword a meaning points to: "= mail-cart 1", "см. damn", "от go
// 1", "и от have 1" (after "_p. и _p-p."), "3-е л. ед. ч. настоящего
// времени гл. to be".
std::string PointedTo(std::string_view meaning) {
    std::string_view rest;
    if (meaning.starts_with("и ")) meaning.remove_prefix(std::string_view("и ").size());
    const std::string_view verb = "гл. to ";
    const std::string_view see = "см. ";
    if (meaning.starts_with(see))
        rest = meaning.substr(see.size());
    else if (meaning.starts_with("= "))
        rest = meaning.substr(2);
    else if (meaning.starts_with("="))
        rest = meaning.substr(1);
    else if (meaning.starts_with("от "))
        rest = meaning.substr(std::string_view("от ").size());
    else if (const size_t at = meaning.find(verb); at != std::string_view::npos)
        rest = meaning.substr(at + verb.size());
    if (rest.empty() || !IsAsciiLetter(rest.front())) return {};
    // Up to a homonym's number, Arabic or Roman ("= tyre I"); a Latin word
    // followed by a translation is no pointer.
    size_t end = 0;
    while (end < rest.size() && rest[end] != ',') {
        if (static_cast<unsigned char>(rest[end]) >= 0x80) return {};
        if (IsSpace(rest[end])) {
            size_t token = end + 1;
            while (token < rest.size() && (IsDigit(rest[token]) || rest[token] == 'I' || rest[token] == 'V')) ++token;
            if (token > end + 1 && (token == rest.size() || IsSpace(rest[token]))) break;
        }
        ++end;
    }
    return Tidy(rest.substr(0, end));
}

size_t CodePoints(std::string_view text) {
    size_t count = 0;
    for (char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

// The byte length of text's first `count` code points.
size_t BytesOf(std::string_view text, size_t count) {
    size_t pos = 0;
    for (size_t i = 0; i < count && pos < text.size(); ++i) DecodeUtf8(text, pos);
    return pos;
}

}  // namespace

bool NamesALetter(std::string_view gloss) {
    return gloss.find("буква") != std::string_view::npos && gloss.find("алфавита") != std::string_view::npos;
}

std::string GlossOf(std::string_view article, std::string_view headword, size_t max_chars, bool past_pointers) {
    std::string meaning = FirstMeaning(article, headword, past_pointers);
    if (max_chars == 0 || !PointedTo(meaning).empty()) return {};
    if (CodePoints(meaning) <= max_chars) return meaning;
    // Whole synonyms while they fit ("идти, ходить"); else whole words and
    // an ellipsis; a single long word is cut between characters.
    const std::string_view fitting = std::string_view(meaning).substr(0, BytesOf(meaning, max_chars + 1));
    const size_t comma = fitting.rfind(", ");
    if (comma != std::string_view::npos && comma > 0) return Tidy(fitting.substr(0, comma));
    const size_t space = fitting.rfind(' ');
    const size_t cut = space != std::string_view::npos && space > 0 ? space : BytesOf(meaning, max_chars - 1);
    return Tidy(fitting.substr(0, cut)) + "\u2026";
}

std::string ReferencedHeadword(std::string_view article, std::string_view headword) {
    return PointedTo(FirstMeaning(article, headword));
}
