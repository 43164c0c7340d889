#include "tests/support/test_instance.h"

#include <cstring>

#include "settings/settings_table.h"

std::shared_ptr<const BuiltinDictionary> BuiltinOf(const WordPairs& entries) {
    size_t size = 0;
    for (const auto& [word, translation] : entries) size += word.size() + translation.size() + 2;
    auto dictionary = std::make_shared<BuiltinDictionary>();
    dictionary->text = std::make_unique<char[]>(size + 1);
    dictionary->entries = std::make_unique<DictEntry[]>(entries.size());
    char* cursor = dictionary->text.get();
    for (size_t i = 0; i < entries.size(); ++i) {
        dictionary->entries[i].word = cursor;
        std::memcpy(cursor, entries[i].first.c_str(), entries[i].first.size() + 1);
        cursor += entries[i].first.size() + 1;
        dictionary->entries[i].translation = cursor;
        std::memcpy(cursor, entries[i].second.c_str(), entries[i].second.size() + 1);
        cursor += entries[i].second.size() + 1;
    }
    dictionary->count = static_cast<int32_t>(entries.size());
    return dictionary;
}

SettingsRecord TableDefaults() {
    SettingsRecord record;
    for (const SettingDescriptor& row : settingsTable) ApplyDefault(row, record);
    return record;
}

std::unique_ptr<PluginInstance> MakeTestInstance(InstanceParts parts) {
    if (!parts.renderer) parts.renderer = std::make_unique<BoxCaptionRenderer>();
    auto instance = std::make_unique<PluginInstance>(std::move(parts));
    instance->settings.workingSettings = TableDefaults();
    instance->settings.workingSettings.RulesType = 0;  // walk the dictionary in order
    return instance;
}

void SetBuiltinEntries(PluginInstance& instance, const WordPairs& entries) {
    instance.dictionaries.builtinDictionary = BuiltinOf(entries);
}

BoxCaptionRenderer& BoxRendererOf(PluginInstance& instance) {
    return dynamic_cast<BoxCaptionRenderer&>(*instance.overlay.renderer());
}
