#include "subtitles/subtitle_lines.h"

#include <sys/stat.h>

#include <array>
#include <cctype>

namespace {

constexpr std::array<std::string_view, 4> kExtensions = {".srt", ".ass", ".ssa", ".vtt"};

struct Entity {
    std::string_view name;
    std::string_view text;
};
constexpr std::array<Entity, 6> kEntities = {
    {{"&amp;", "&"}, {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&nbsp;", " "}}};

bool IsFile(const std::string& path) {
    struct stat facts {};
    return ::stat(path.c_str(), &facts) == 0 && S_ISREG(facts.st_mode);
}

// Trims the blanks round each break and at both ends.
std::string TrimLines(const std::string& text) {
    std::string out;
    size_t from = 0;
    while (from <= text.size()) {
        size_t to = text.find('\n', from);
        if (to == std::string::npos) to = text.size();
        size_t a = from, b = to;
        while (a < b && std::isspace(static_cast<unsigned char>(text[a]))) ++a;
        while (b > a && std::isspace(static_cast<unsigned char>(text[b - 1]))) --b;
        if (a < b) {
            if (!out.empty()) out += '\n';
            out.append(text, a, b - a);
        }
        from = to + 1;
    }
    return out;
}

}  // namespace

std::string StripSubtitleMarkup(std::string_view text, bool pango) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        // A tag is a '<' followed by a letter or '/': "a < b" stays.
        if (c == '<' && i + 1 < text.size() &&
            (text[i + 1] == '/' || std::isalpha(static_cast<unsigned char>(text[i + 1])))) {
            const size_t close = text.find('>', i);
            if (close != std::string_view::npos) {
                i = close;
                continue;
            }
        }
        if (c == '{' && i + 1 < text.size() && text[i + 1] == '\\') {
            const size_t close = text.find('}', i);
            if (close != std::string_view::npos) {
                i = close;
                continue;
            }
        }
        if (c == '\\' && i + 1 < text.size() && (text[i + 1] == 'N' || text[i + 1] == 'n')) {
            out += '\n';
            ++i;
            continue;
        }
        if (c == '\r') continue;
        if (pango && c == '&') {
            bool replaced = false;
            for (const Entity& entity : kEntities)
                if (text.substr(i, entity.name.size()) == entity.name) {
                    out += entity.text;
                    i += entity.name.size() - 1;
                    replaced = true;
                    break;
                }
            if (replaced) continue;
        }
        out += c;
    }
    return TrimLines(out);
}

bool IsSubtitleFileName(std::string_view path) {
    const size_t dot = path.rfind('.');
    if (dot == std::string_view::npos) return false;
    std::string extension;
    for (const char c : path.substr(dot)) extension += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const std::string_view known : kExtensions)
        if (extension == known) return true;
    return false;
}

std::string SubtitlesBeside(const std::string& film) {
    const size_t slash = film.rfind('/');
    const size_t dot = film.rfind('.');
    const std::string stem = dot != std::string::npos && (slash == std::string::npos || dot > slash)
                                 ? film.substr(0, dot)
                                 : film;
    for (const std::string_view extension : kExtensions) {
        const std::string candidate = stem + std::string(extension);
        if (candidate != film && IsFile(candidate)) return candidate;
    }
    return {};
}
