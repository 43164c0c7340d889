#include "tests/support/overlay_fixture.h"

#include <cstring>

#include "dictionary/builtin_dictionary.h"
#include "overlay/overlay_engine.h"
#include "overlay/overlay_state.h"
#include "overlay/random.h"
#include "settings/settings_state.h"
#include "settings/settings_table.h"

void SetBuiltinEntries(const std::vector<std::pair<std::string, std::string>>& entries) {
    size_t size = 0;
    for (const auto& [word, translation] : entries) size += word.size() + translation.size() + 2;
    BuiltinDictionary dictionary;
    dictionary.text = std::make_unique<char[]>(size + 1);
    dictionary.entries = std::make_unique<DictEntry[]>(entries.size());
    char* cursor = dictionary.text.get();
    for (size_t i = 0; i < entries.size(); ++i) {
        dictionary.entries[i].word = cursor;
        std::memcpy(cursor, entries[i].first.c_str(), entries[i].first.size() + 1);
        cursor += entries[i].first.size() + 1;
        dictionary.entries[i].translation = cursor;
        std::memcpy(cursor, entries[i].second.c_str(), entries[i].second.size() + 1);
        cursor += entries[i].second.size() + 1;
    }
    dictionary.count = static_cast<int32_t>(entries.size());
    builtinDictionary = std::move(dictionary);
}

void ResetOverlay(BoxCaptionRenderer& renderer) {
    overlay::StreamStop();
    overlayState = OverlayState{};
    overlay::SetRenderer(&renderer);
    randomState = 1;
    for (const SettingDescriptor& row : settingsTable) ApplyDefault(row);
    workingSettings = storedSettings;
    workingSettings.RulesType = 0;  // walk the dictionary in order
}
