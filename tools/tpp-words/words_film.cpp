#include "tools/tpp-words/words_film.h"

#include <cinttypes>
#include <cstdio>

namespace {

// "h:mm:ss" of a time in the film.
std::string Clock(int64_t nanos) {
    const int64_t seconds = nanos / 1'000'000'000;
    char text[32];
    std::snprintf(text, sizeof text, "%" PRId64 ":%02d:%02d", seconds / 3600, int(seconds / 60 % 60),
                  int(seconds % 60));
    return text;
}

// A line on one line: its breaks made " / ".
std::string OneLine(const std::string& text) {
    std::string out;
    for (const char c : text) out += c == '\n' ? std::string(" / ") : std::string(1, c);
    return out;
}

std::string Json(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\t': out += "\\t"; break;
            case '\r': out += "\\r"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                    out += escaped;
                } else {
                    out += c;
                }
        }
    }
    return out + '"';
}

double Share(const FilmWords& film) {
    return film.running ? 100.0 * static_cast<double>(film.known) / static_cast<double>(film.running) : 0;
}

}  // namespace

std::string FilmReportText(const std::vector<SubtitleLine>& lines, const FilmWords& film) {
    std::string text;
    char line[256];
    std::snprintf(line, sizeof line, "%zu lines, %" PRId64 " words, %" PRId64 " known (%.1f %%), %zu unknown words\n",
                  lines.size(), film.running, film.known, Share(film), film.unknown.size());
    text += line;
    text += "\nLines with one unknown word:\n";
    for (const int32_t index : film.oneUnknownLines)
        text += "  " + Clock(lines[index].start) + "  " + film.unknown[film.unknownOfLine[index][0]].word + "  " +
                OneLine(lines[index].text) + "\n";
    text += "\nUnknown words by count (* taught before its line):\n";
    for (const FilmWord& word : film.unknown) {
        std::snprintf(line, sizeof line, "  %5d %s ", word.count, word.chosen ? "*" : " ");
        text += line + word.word;
        if (word.translation) text += " - " + word.translation->text + " (" + word.translation->source + ")";
        text += "\n";
    }
    return text;
}

std::string FilmReportJson(const std::string& file, const std::vector<SubtitleLine>& lines, const FilmWords& film) {
    char number[64];
    std::snprintf(number, sizeof number, "%.4f", Share(film) / 100);
    std::string json = "{\"file\": " + Json(file) + ", \"lines\": " + std::to_string(lines.size()) +
                       ", \"words\": " + std::to_string(film.running) + ", \"known\": " + std::to_string(film.known) +
                       ", \"known_share\": " + number + ",\n \"one_unknown_lines\": [";
    for (size_t i = 0; i < film.oneUnknownLines.size(); ++i) {
        const int32_t index = film.oneUnknownLines[i];
        std::snprintf(number, sizeof number, "%.3f", static_cast<double>(lines[index].start) / 1e9);
        json += std::string(i ? ",\n  " : "\n  ") + "{\"start\": " + number + ", \"text\": " + Json(lines[index].text) +
                ", \"word\": " + Json(film.unknown[film.unknownOfLine[index][0]].word) + "}";
    }
    json += "],\n \"unknown\": [";
    for (size_t i = 0; i < film.unknown.size(); ++i) {
        const FilmWord& word = film.unknown[i];
        json += std::string(i ? ",\n  " : "\n  ") + "{\"word\": " + Json(word.word) +
                ", \"count\": " + std::to_string(word.count) + ", \"taught\": " + (word.chosen ? "true" : "false");
        if (word.translation)
            json += ", \"translation\": " + Json(word.translation->text) +
                    ", \"source\": " + Json(word.translation->source);
        json += ", \"lines\": [";
        for (size_t j = 0; j < word.lines.size(); ++j) json += (j ? ", " : "") + std::to_string(word.lines[j]);
        json += "]}";
    }
    return json + "]}\n";
}

std::vector<learner::CardEntry> FilmCards(const std::string& list, const std::vector<SubtitleLine>& lines,
                                          const FilmWords& film) {
    std::vector<learner::CardEntry> cards;
    for (const FilmWord& word : film.unknown)
        if (word.translation)
            cards.push_back({list, word.word, word.translation->text, OneLine(lines[word.lines.front()].text)});
    return cards;
}
