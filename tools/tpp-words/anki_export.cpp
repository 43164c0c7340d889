#include "tools/tpp-words/anki_export.h"

#include <filesystem>

namespace {

std::string ListStem(std::string_view list) { return std::filesystem::path(list).stem().string(); }

}  // namespace

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
    std::string tag = ListStem(list);
    if (tag.empty()) tag = "list";
    for (char& c : tag)
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') c = '_';
    return tag;
}

// A header line ends at its line break, and Anki takes the rest verbatim.
std::string AnkiDeck(std::string_view list) {
    std::string name = ListStem(list);
    if (name.empty()) name = "list";
    for (char& c : name)
        if (static_cast<unsigned char>(c) < 0x20) c = ' ';
    return "tpp25frame::" + name;
}

std::string AnkiFile(const std::vector<learner::CardEntry>& cards) {
    bool severalLists = false, sentences = false;
    for (const learner::CardEntry& card : cards) {
        severalLists = severalLists || card.list != cards.front().list;
        sentences = sentences || !card.sentence.empty();
    }
    // The sentence is a third field, before the tags.
    const std::string fields = sentences ? "Front\tBack\tSentence" : "Front\tBack";
    const char tagsColumn = sentences ? '4' : '3';
    std::string file =
        "#separator:tab\n"
        "#html:false\n"
        "#notetype:Basic\n";
    if (severalLists) {
        file += "#columns:" + fields + "\tTags\tDeck\n";
        file += std::string("#deck column:") + char(tagsColumn + 1) + "\n";
    } else {
        file += "#deck:" + (cards.empty() ? std::string("tpp25frame") : AnkiDeck(cards.front().list)) + "\n";
        file += "#columns:" + fields + "\tTags\n";
    }
    file += std::string("#tags column:") + tagsColumn + "\n";
    file += "#tags:tpp25frame\n";
    for (const learner::CardEntry& card : cards) {
        file += AnkiField(card.word) + '\t' + AnkiField(card.translation);
        if (sentences) file += '\t' + AnkiField(card.sentence);
        file += '\t' + AnkiField(AnkiTag(card.list));
        if (severalLists) file += '\t' + AnkiField(AnkiDeck(card.list));
        file += '\n';
    }
    return file;
}
