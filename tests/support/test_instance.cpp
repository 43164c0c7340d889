#include "tests/support/test_instance.h"

#include <cstring>

#include "settings/settings_table.h"
#include "tests/support/overlay_internals.h"

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
    instance->ChangeSettings([](SettingsRecord& settings) {
        settings = TableDefaults();
        settings.RulesType = kOrderAtoZ;  // walk the dictionary in order
    });
    return instance;
}

void SetBuiltinEntries(PluginInstance& instance, const WordPairs& entries) {
    DictionariesOf(instance).builtinDictionary = BuiltinOf(entries);
}

BoxCaptionRenderer& BoxRendererOf(PluginInstance& instance) {
    return dynamic_cast<BoxCaptionRenderer&>(*OverlayOf(instance).renderer());
}

int64_t PixelsOutsideCaptionRuns(PluginInstance& instance) {
    const CanvasView canvas = OverlayEngineInternals::Canvas(OverlayOf(instance));
    const CanvasRuns runs = OverlayOf(instance).captionRuns();
    const uint32_t back = instance.Settings().BackColor;
    const uint8_t background[3] = {uint8_t(back >> 16), uint8_t(back >> 8), uint8_t(back)};  // blue, green, red
    int64_t outside = 0;
    for (int32_t y = 0; y < canvas.height; ++y)
        for (int32_t x = 0; x < canvas.width; ++x) {
            const uint8_t* pixel = canvas.bits + y * canvas.stride + x * 4;
            if (std::memcmp(pixel, background, 3) == 0) continue;
            const int32_t row = y - runs.top;
            bool inRun = false;
            if (row >= 0 && row < runs.rows)
                for (uint32_t r = runs.rowStarts[row]; r < runs.rowStarts[row + 1]; ++r)
                    inRun = inRun || (x >= runs.runs[r].left && x < runs.runs[r].right);
            outside += !inRun;
        }
    return outside;
}
