#include "tools/tpp-words/anki_export.h"

#include <filesystem>

std::string AnkiField(std::string_view text) {
    const bool quoted = text.find_first_of("\t\r\n\"") != std::string_view::npos || text.starts_with('#');
    if (!quoted) return std::string(text);
    std::string field = "\"";
    for (char c : text) {
        if (c == '"') field += '"';
        field += c;
    }
    return field + '"';
}

std::string AnkiTag(std::string_view list) {
    std::string tag = std::filesystem::path(list).stem().string();
    if (tag.empty()) tag = "list";
    for (char& c : tag)
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') c = '_';
    return tag;
}

std::string AnkiFile(const std::vector<learner::CardEntry>& cards) {
    std::string file =
        "#separator:tab\n"
        "#html:false\n"
        "#columns:Word\tTranslation\tTags\n"
        "#tags column:3\n"
        "#tags:tpp25frame\n";
    for (const learner::CardEntry& card : cards) {
        file += AnkiField(card.word) + '\t' + AnkiField(card.translation) + '\t' + AnkiField(AnkiTag(card.list)) + '\n';
    }
    return file;
}
