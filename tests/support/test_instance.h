// Plug-in instances as the tests, benchmarks and fuzzers drive them: the
// box renderer unless another is given, no settings file unless one is
// named, the table's defaults in the working copy walked in order, the
// random source as at load and the engine idle.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "plugin/plugin_instance.h"
#include "render/box_caption_renderer.h"

// The tests' view inside an instance: its parts, which a host, the element
// and the dialog reach only through the instance's operations.
class PluginInstanceInternals {
public:
    static SettingsState& Settings(PluginInstance& instance) { return instance.settings_; }
    static DictionaryStore& Dictionaries(PluginInstance& instance) { return instance.dictionaries_; }
    static OverlayEngine& Overlay(PluginInstance& instance) { return instance.overlay_; }
    static SettingsUi* Ui(PluginInstance& instance) { return instance.ui_.get(); }
};
inline SettingsState& SettingsOf(PluginInstance& instance) { return PluginInstanceInternals::Settings(instance); }
inline DictionaryStore& DictionariesOf(PluginInstance& instance) {
    return PluginInstanceInternals::Dictionaries(instance);
}
inline OverlayEngine& OverlayOf(PluginInstance& instance) { return PluginInstanceInternals::Overlay(instance); }

// Sets the working settings through their one writer, field by field.
template <class Change>
void SetWorking(PluginInstance& instance, Change change) {
    instance.ChangeSettings([&](SettingsRecord& settings) { change(settings); });
}

using WordPairs = std::vector<std::pair<std::string, std::string>>;

// A built-in dictionary of these word/translation pairs.
std::shared_ptr<const BuiltinDictionary> BuiltinOf(const WordPairs& entries);

// The table's default for every setting.
SettingsRecord TableDefaults();

std::unique_ptr<PluginInstance> MakeTestInstance(InstanceParts parts = {});

// Puts these pairs in place of the instance's built-in dictionary.
void SetBuiltinEntries(PluginInstance& instance, const WordPairs& entries);

// The renderer of an instance made with the box renderer.
BoxCaptionRenderer& BoxRendererOf(PluginInstance& instance);

// Pixels of the instance's canvas that differ from BackColor yet lie in
// none of the engine's caption runs: pixels the blend would not read.
int64_t PixelsOutsideCaptionRuns(PluginInstance& instance);
