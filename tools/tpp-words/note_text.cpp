#include "tools/tpp-words/note_text.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <set>

#include "dictionary/word_list_encoding.h"
#include "platform/utf8.h"

namespace {

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

std::string_view Trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::optional<char> SeparatorNamed(std::string_view value) {
    const std::string name = Lower(Trimmed(value));
    if (name == "tab") return '\t';
    if (name == "comma") return ',';
    if (name == "semicolon") return ';';
    if (name == "pipe") return '|';
    if (name == "colon") return ':';
    if (name == "space") return ' ';
    if (value.size() == 1) return value[0];
    return std::nullopt;
}

char GuessedSeparator(std::string_view line, bool csvName) {
    if (line.find('\t') != std::string_view::npos) return '\t';
    if (csvName || line.find(',') != std::string_view::npos) return ',';
    if (line.find(';') != std::string_view::npos) return ';';
    return '\t';
}

// Reads records from text, each a vector of fields, with the line each
// starts on.
class RecordReader {
public:
    RecordReader(std::string_view text, size_t pos, int32_t line) : text_(text), pos_(pos), line_(line) {}

    bool Next(char separator, std::vector<std::string>& fields, int32_t& line) {
        // Blank lines and comments hold no record.
        while (pos_ < text_.size() && (text_[pos_] == '\n' || text_[pos_] == '#')) {
            if (text_[pos_] == '#') pos_ = std::min(text_.find('\n', pos_), text_.size());
            if (pos_ < text_.size()) Advance();
        }
        if (pos_ >= text_.size()) return false;
        line = line_;
        fields.assign(1, std::string());
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c == '\n') {
                Advance();
                break;
            }
            Advance();
            if (c == separator) {
                fields.emplace_back();
            } else if (c == '"' && fields.back().empty()) {
                ReadQuoted(fields.back());
            } else {
                fields.back() += c;
            }
        }
        return true;
    }

private:
    void Advance() {
        if (text_[pos_++] == '\n') ++line_;
    }

    // A quoted field's text, its quotes doubled; what follows the closing
    // quote up to the separator stays with the field, as written.
    void ReadQuoted(std::string& field) {
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            Advance();
            if (c != '"') {
                field += c;
            } else if (pos_ < text_.size() && text_[pos_] == '"') {
                field += '"';
                Advance();
            } else {
                return;
            }
        }
    }

    std::string_view text_;
    size_t pos_;
    int32_t line_;
};

struct Entity {
    const char* name;
    char32_t codePoint;
};

// The entities an editor writes, and the typographic ones lists use.
constexpr Entity kEntities[] = {
    {"amp", '&'},      {"lt", '<'},       {"gt", '>'},        {"quot", '"'},     {"apos", '\''},  {"nbsp", ' '},
    {"ndash", 0x2013}, {"mdash", 0x2014}, {"hellip", 0x2026}, {"laquo", 0xAB},   {"raquo", 0xBB}, {"lsquo", 0x2018},
    {"rsquo", 0x2019}, {"ldquo", 0x201C}, {"rdquo", 0x201D},  {"bdquo", 0x201E}, {"shy", 0xAD},   {"middot", 0xB7},
    {"deg", 0xB0},     {"times", 0xD7},   {"copy", 0xA9},     {"euro", 0x20AC},  {"acute", 0xB4}, {"thinsp", 0x2009},
};

// The entity at html[pos] ("&...;"): its code point and length, or nothing.
std::optional<char32_t> EntityAt(std::string_view html, size_t pos, size_t& length) {
    // Only the next few bytes: a field of ampersands is read once.
    const size_t semicolon = html.substr(pos, 13).find(';');
    if (semicolon == std::string_view::npos || semicolon < 3) return std::nullopt;
    const size_t end = pos + semicolon;
    const std::string_view body = html.substr(pos + 1, end - pos - 1);
    length = end - pos + 1;
    if (body[0] == '#') {
        const bool hex = body.size() > 1 && (body[1] == 'x' || body[1] == 'X');
        const std::string digits(body.substr(hex ? 2 : 1));
        if (digits.empty()) return std::nullopt;
        char* stop = nullptr;
        const unsigned long value = std::strtoul(digits.c_str(), &stop, hex ? 16 : 10);
        if (*stop || value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return std::nullopt;
        return static_cast<char32_t>(value);
    }
    for (const Entity& entity : kEntities)
        if (body == entity.name) return entity.codePoint;
    return std::nullopt;
}

bool BreaksLine(std::string_view tag) {
    static const std::set<std::string, std::less<>> kBreaking = {
        "br", "div", "p", "li", "ul", "ol", "tr", "td", "th", "table", "h1", "h2", "h3", "h4", "h5", "h6", "hr"};
    return kBreaking.count(tag) > 0;
}

// One line's blanks: each run one space, none at either end.
std::string Squeezed(std::string_view text) {
    std::string out;
    bool blank = false;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            blank = !out.empty();
        } else {
            if (blank) out += ' ';
            blank = false;
            out += c;
        }
    }
    return out;
}

}  // namespace

std::string HtmlToText(std::string_view html, bool& changed) {
    changed = false;
    std::string text;
    // Once a "<" has no ">" after it, none further on has: each is text.
    bool closable = true;
    for (size_t pos = 0; pos < html.size();) {
        const char c = html[pos];
        const bool tagStart = closable && c == '<' && pos + 1 < html.size() &&
                              (std::isalpha(static_cast<unsigned char>(html[pos + 1])) || html[pos + 1] == '/' ||
                               html[pos + 1] == '!');
        const size_t close = tagStart ? html.find('>', pos) : std::string_view::npos;
        closable = closable && (!tagStart || close != std::string_view::npos);
        if (close != std::string_view::npos) {
            changed = true;
            size_t nameStart = pos + 1 + (html[pos + 1] == '/');
            size_t nameEnd = nameStart;
            while (nameEnd < close && std::isalnum(static_cast<unsigned char>(html[nameEnd]))) ++nameEnd;
            const std::string name = Lower(html.substr(nameStart, nameEnd - nameStart));
            pos = close + 1;
            if (BreaksLine(name)) text += ' ';
            // What a script or a style holds is no text.
            if ((name == "script" || name == "style") && html[nameStart - 1] != '/') {
                const size_t end = Lower(html).find("</" + name, pos);
                const size_t endClose = end == std::string::npos ? end : html.find('>', end);
                pos = endClose == std::string_view::npos ? html.size() : endClose + 1;
            }
            continue;
        }
        size_t length = 0;
        if (c == '&') {
            if (const std::optional<char32_t> decoded = EntityAt(html, pos, length)) {
                changed = true;
                if (*decoded != 0xAD) AppendUtf8(text, *decoded);
                pos += length;
                continue;
            }
        }
        text += c;
        ++pos;
    }
    return Squeezed(text);
}

std::string OneLine(std::string_view text) {
    std::string line(Trimmed(text));
    for (char& c : line)
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    return line;
}

std::optional<ImportedNotes> ReadNoteText(std::string_view bytes, bool csvName, std::string& error) {
    WordListDecoding decoding;
    const std::vector<std::string> lines = DecodeWordList(bytes, decoding);
    std::string text;
    for (const std::string& line : lines) text += line + '\n';
    // Text has no NUL; a file with one is some other program's data.
    if (text.find('\0') != std::string::npos) {
        error = "it is neither a package nor text (it holds NUL bytes)";
        return std::nullopt;
    }

    ImportedNotes notes;
    std::optional<char> separator;
    std::set<size_t> metaColumns;  // from 1
    size_t pos = 0;
    int32_t line = 1;
    // The header: the first lines, each "#key:value"; other lines of "#" are
    // comments, and the header goes on past them.
    while (pos < text.size() && text[pos] == '#') {
        const size_t end = text.find('\n', pos);
        const std::string_view header = std::string_view(text).substr(pos + 1, end - pos - 1);
        pos = end + 1;
        ++line;
        const size_t colon = header.find(':');
        if (colon == std::string_view::npos) continue;
        const std::string key = Lower(Trimmed(header.substr(0, colon)));
        const std::string_view value = header.substr(colon + 1);
        if (key == "separator") {
            separator = SeparatorNamed(value);
        } else if (key == "html") {
            notes.html = Lower(Trimmed(value)) != "false";
        } else if (key == "guid column" || key == "notetype column" || key == "deck column" || key == "tags column") {
            const long column = std::atol(std::string(Trimmed(value)).c_str());
            if (column > 0) metaColumns.insert(static_cast<size_t>(column));
        }
    }
    if (!separator) {
        size_t first = pos;
        while (first < text.size() && (text[first] == '\n' || text[first] == '#'))
            first = text[first] == '\n' ? first + 1 : text.find('\n', first) + 1;
        separator = GuessedSeparator(std::string_view(text).substr(first, text.find('\n', first) - first), csvName);
    }

    RecordReader reader(text, pos, line);
    std::vector<std::string> record;
    int32_t start = 0;
    while (reader.Next(*separator, record, start)) {
        ImportedNote note;
        note.place = start;
        for (size_t i = 0; i < record.size(); ++i)
            if (!metaColumns.count(i + 1)) note.fields.push_back(std::move(record[i]));
        notes.notes.push_back(std::move(note));
    }
    return notes;
}
