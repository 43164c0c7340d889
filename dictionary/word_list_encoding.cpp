#include "dictionary/word_list_encoding.h"

#include <algorithm>

#include "platform/cp1251.h"
#include "platform/utf8.h"

namespace {

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool StartsWithByteOrderMark(const std::vector<std::string>& lines) {
    return !lines.empty() && lines.front().starts_with(kUtf8ByteOrderMark);
}

// What the lines of a file are, by the rules DecodeWordList gives.
WordListEncoding DetectEncoding(const std::vector<std::string>& lines) {
    if (StartsWithByteOrderMark(lines)) return WordListEncoding::kUtf8WithBom;
    bool allAscii = true;
    for (const std::string& line : lines) {
        if (IsAscii(line)) continue;
        if (!IsValidUtf8(line)) return WordListEncoding::kWindows1251;
        allAscii = false;
    }
    return allAscii ? WordListEncoding::kWindows1251 : WordListEncoding::kUtf8;
}

}  // namespace

WordListEncoding DecodeWordList(std::vector<std::string>& lines) {
    const WordListEncoding encoding = DetectEncoding(lines);
    switch (encoding) {
        case WordListEncoding::kUtf8WithBom:
            lines.front().erase(0, kUtf8ByteOrderMark.size());
            // An empty list saved with the mark is the mark alone: no line.
            if (lines.size() == 1 && lines.front().empty()) lines.clear();
            for (std::string& line : lines)
                if (!IsValidUtf8(line)) line = DecodeCp1251(line);
            break;
        case WordListEncoding::kWindows1251:
            for (std::string& line : lines)
                if (!IsAscii(line)) line = DecodeCp1251(line);
            break;
        case WordListEncoding::kUtf8: break;
    }
    return encoding;
}

// Each encoding is kept as long as the file it writes reads back as the
// same text. A Windows-1251 list may also hold a character the code page
// lacks, or (after edits) bytes that would pass for UTF-8 or a byte-order
// mark; a UTF-8 list may start with U+FEFF, which would pass for the mark.
// Such lists are written as UTF-8 with the mark, which always reads back.
std::vector<std::string> EncodeWordList(std::vector<std::string> lines, WordListEncoding& encoding) {
    if (encoding == WordListEncoding::kUtf8 && StartsWithByteOrderMark(lines))
        encoding = WordListEncoding::kUtf8WithBom;
    if (encoding != WordListEncoding::kWindows1251) return lines;
    std::vector<std::string> encoded(lines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!EncodeCp1251(lines[i], encoded[i])) {
            encoding = WordListEncoding::kUtf8WithBom;
            return lines;
        }
    }
    if (DetectEncoding(encoded) != WordListEncoding::kWindows1251) {
        encoding = WordListEncoding::kUtf8WithBom;
        return lines;
    }
    return encoded;
}
