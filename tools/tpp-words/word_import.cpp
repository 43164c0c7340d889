#include "tools/tpp-words/word_import.h"

#include <array>
#include <string_view>

namespace {

// Where a list line splits, besides the tab a field never keeps.
constexpr std::array<std::string_view, 3> kSeparators = {" - ", " \u2013 ", " \u2014 "};

bool HoldsSeparator(std::string_view word) {
    for (std::string_view separator : kSeparators)
        if (word.find(separator) != std::string_view::npos) return true;
    return false;
}

}  // namespace

ImportedList MakeImportedList(const ImportedNotes& notes) {
    ImportedList list;
    for (const ImportedNote& note : notes.notes) {
        std::string texts[2];
        for (size_t i = 0; i < 2 && i < note.fields.size(); ++i) {
            bool changed = false;
            const std::string reduced = HtmlToText(note.fields[i], changed);
            texts[i] = notes.html ? reduced : OneLine(note.fields[i]);
            (notes.html ? list.htmlFields : list.plainHtmlLike) += changed;
        }
        const std::string& word = texts[0];
        const std::string& translation = texts[1];
        if (word.empty()) {
            list.wordless.push_back({note.place, translation});
            continue;
        }
        if (translation.empty()) {
            list.untranslated.push_back({note.place, word});
            continue;
        }
        if (HoldsSeparator(word)) list.separatorInWord.push_back({note.place, word});
        list.lines.push_back(word + " - " + translation);
        if (note.interval >= kKnownInterval) list.knownWords.push_back(word);
    }
    return list;
}
