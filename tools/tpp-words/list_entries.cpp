#include "tools/tpp-words/list_entries.h"

#include "dictionary/alt_dictionary.h"
#include "dictionary/entry_separator.h"
#include "plugin/embedded_dictionary.h"

std::optional<std::vector<learner::EntryText>> ListEntries(const std::string& list) {
    std::vector<learner::EntryText> entries;
    if (list == learner::kBuiltinList) {
        const std::shared_ptr<const BuiltinDictionary> builtin = SharedBuiltinDictionary();
        for (int32_t i = 0; i < builtin->count; ++i) {
            const DictEntry& entry = GetBuiltinEntry(*builtin, i);
            entries.push_back({entry.word, entry.translation});
        }
        return entries;
    }
    AltDictionary dictionary;
    if (!ReadAltDictionaryFile(list, dictionary)) return std::nullopt;
    for (const std::string& line : dictionary.lines) {
        const EntryParts parts = SplitEntry(line);
        entries.push_back({std::string(parts.word), std::string(parts.translation)});
    }
    return entries;
}
