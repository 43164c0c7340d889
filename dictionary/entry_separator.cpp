#include "dictionary/entry_separator.h"

#include <array>

namespace {

constexpr std::array<std::string_view, 3> kBlankedSeparators = {" - ", " \xE2\x80\x93 ", " \xE2\x80\x94 "};

}  // namespace

std::optional<EntrySeparator> FindEntrySeparator(std::string_view line) {
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\t') return EntrySeparator{i, 1};
        if (line[i] != ' ') continue;
        for (const std::string_view separator : kBlankedSeparators)
            if (line.substr(i, separator.size()) == separator) return EntrySeparator{i, separator.size()};
    }
    return std::nullopt;
}

EntryParts SplitEntry(std::string_view line) {
    const std::optional<EntrySeparator> separator = FindEntrySeparator(line);
    if (!separator) return {line, {}};
    return {line.substr(0, separator->at), line.substr(separator->at + separator->length)};
}
