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
