#include "dictionary/word_list_encoding.h"

#include <algorithm>
#include <optional>

#include "platform/cp1251.h"
#include "platform/utf16.h"
#include "platform/utf8.h"

namespace {

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Lines end at LF; a CR before it belongs to the line end. A CR elsewhere,
// and a last line without its end, stay as they are.
template <class Char>
std::vector<std::basic_string<Char>> SplitLines(std::basic_string_view<Char> text) {
    std::vector<std::basic_string<Char>> lines;
    while (!text.empty()) {
        const size_t end = text.find(Char('\n'));
        std::basic_string_view<Char> line = text.substr(0, end);
        if (end != text.npos && !line.empty() && line.back() == Char('\r')) line.remove_suffix(1);
        lines.emplace_back(line);
        text.remove_prefix(end == text.npos ? text.size() : end + 1);
    }
    return lines;
}

std::optional<ByteOrder> Utf16Mark(std::string_view file) {
    if (file.starts_with("\xFF\xFE")) return ByteOrder::kLittleEndian;
    if (file.starts_with("\xFE\xFF")) return ByteOrder::kBigEndian;
    return std::nullopt;
}

ByteOrder OrderOf(WordListEncoding encoding) {
    return encoding == WordListEncoding::kUtf16BigEndian ? ByteOrder::kBigEndian : ByteOrder::kLittleEndian;
}

std::vector<std::string> DecodeUtf16(std::string_view bytes, ByteOrder order, WordListDecoding& found) {
    found.encoding = order == ByteOrder::kBigEndian ? WordListEncoding::kUtf16BigEndian
                                                    : WordListEncoding::kUtf16LittleEndian;
    found.oddLastByte = bytes.size() % 2 != 0;
    const std::u16string units = Utf16FromBytes(bytes, order);
    std::vector<std::string> lines;
    for (const std::u16string& line : SplitLines(std::u16string_view(units))) {
        if (!IsWellFormedUtf16(line)) found.unpairedSurrogateLines.Add(static_cast<int32_t>(lines.size() + 1));
        lines.push_back(Utf16ToUtf8(line));
    }
    return lines;
}

struct Utf8Tally {
    int64_t valid = 0;  // well-formed sequences of two bytes or more
    int64_t bad = 0;    // bytes above 0x7F that start none
};

Utf8Tally TallyUtf8(std::string_view text) {
    Utf8Tally tally;
    for (size_t pos = 0; pos < text.size();) {
        if (static_cast<unsigned char>(text[pos]) < 0x80) {
            ++pos;
            continue;
        }
        const size_t start = pos;
        // U+FFFD itself is well-formed; only a one-byte step marks a bad byte.
        const bool bad = DecodeUtf8(text, pos) == kReplacementCharacter && pos == start + 1;
        ++(bad ? tally.bad : tally.valid);
    }
    return tally;
}

bool EncodeAs(const std::vector<std::string>& lines, WordListEncoding encoding, std::string& file) {
    file.clear();
    switch (encoding) {
        case WordListEncoding::kWindows1251:
            for (const std::string& line : lines) {
                std::string bytes;
                if (!EncodeCp1251(line, bytes)) return false;
                file += bytes + "\r\n";
            }
            return true;
        case WordListEncoding::kUtf8WithBom: file = kUtf8ByteOrderMark; [[fallthrough]];
        case WordListEncoding::kUtf8:
            for (const std::string& line : lines) file += line + "\r\n";
            return true;
        case WordListEncoding::kUtf16LittleEndian:
        case WordListEncoding::kUtf16BigEndian:
            file = Utf16ToBytes(u"\uFEFF", OrderOf(encoding));
            for (const std::string& line : lines) file += Utf16ToBytes(Utf8ToUtf16(line + "\r\n"), OrderOf(encoding));
            return true;
    }
    return false;
}

}  // namespace

void LineNumbers::Add(int32_t line) {
    if (first.size() < kNamed) first.push_back(line);
    ++count;
}

std::vector<std::string> DecodeWordList(std::string_view file, WordListDecoding& found) {
    found = {};
    if (const std::optional<ByteOrder> order = Utf16Mark(file)) return DecodeUtf16(file.substr(2), *order, found);
    const bool marked = file.starts_with(kUtf8ByteOrderMark);
    if (marked) file.remove_prefix(kUtf8ByteOrderMark.size());
    std::vector<std::string> lines = SplitLines(file);
    const Utf8Tally tally = TallyUtf8(file);
    if (marked || (tally.valid > 0 && tally.valid >= kValidPerBadByte * tally.bad)) {
        found.encoding = marked ? WordListEncoding::kUtf8WithBom : WordListEncoding::kUtf8;
        for (size_t i = 0; i < lines.size(); ++i) {
            if (IsValidUtf8(lines[i])) continue;
            lines[i] = DecodeCp1251(lines[i]);
            found.windows1251Lines.Add(static_cast<int32_t>(i + 1));
        }
    } else {
        found.encoding = WordListEncoding::kWindows1251;
        found.readAsWindows1251 = tally.valid + tally.bad > 0;
        for (std::string& line : lines)
            if (!IsAscii(line)) line = DecodeCp1251(line);
    }
    return lines;
}

// An encoding is kept as long as the file it writes reads back as the same
// lines, with no line taken for another encoding (Windows-1251 lines whose
// letter pairs pass for UTF-8 would read as UTF-8 with stray lines); UTF-8
// under the mark always does.
std::string EncodeWordList(const std::vector<std::string>& lines, WordListEncoding& encoding) {
    std::string file;
    WordListDecoding read;
    if (EncodeAs(lines, encoding, file) && DecodeWordList(file, read) == lines && read.windows1251Lines.count == 0)
        return file;
    encoding = WordListEncoding::kUtf8WithBom;
    EncodeAs(lines, encoding, file);
    return file;
}
