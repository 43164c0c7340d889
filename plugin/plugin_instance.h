// One loaded plug-in: everything it holds, its settings, dictionaries,
// random source, stream, canvas, caption and dialog, and their locks. The
// DLL and the Linux library each make one when they are loaded and bind
// their exports to it; a host of our own may make as many as it likes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "blend/frame_view.h"
#include "dictionary/builtin_dictionary.h"
#include "dictionary/dictionary_store.h"
#include "overlay/caption_renderer.h"
#include "overlay/overlay_engine.h"
#include "settings/settings_state.h"
#include "ui/settings_ui.h"

// The built-in dictionary, asked for at each Init; a process decodes it
// once and hands every instance the same read-only copy. Null: none.
using BuiltinDictionarySource = std::function<std::shared_ptr<const BuiltinDictionary>()>;

struct InstanceParts {
    std::unique_ptr<CaptionRenderer> renderer;
    BuiltinDictionarySource builtinDictionary;
    // The settings file: settingsPath when given, else the file of this
    // base name located at Init beside the host (as the plug-in's own is);
    // with neither, no file (every setting at its default, nothing saved).
    std::string settingsPath;
    std::string settingsBaseName;
    // The module that holds the dialog's template (an HINSTANCE on Windows).
    void* resourceModule = nullptr;
};

class PluginInstance {
public:
    explicit PluginInstance(InstanceParts parts);
    PluginInstance(const PluginInstance&) = delete;
    PluginInstance& operator=(const PluginInstance&) = delete;

    // The bodies of the six callbacks. Each one is a barrier: no exception
    // leaves it, whatever the parts behind it do.
    void Init() noexcept;
    // Init's two steps, for a host that puts values of its own over the
    // file's before the dictionaries load (the GStreamer element): the
    // settings file read into the copies, then the renderer's context and
    // the dictionaries.
    void ReadSettingsFile() noexcept;
    void StartParts() noexcept;
    int32_t StreamStart(const VideoFormat& format) noexcept;
    int32_t ProcessFrame(const FrameView& frame) noexcept;
    void StreamStop() noexcept;
    void ShowSettings(void* hostWindow) noexcept;
    void Exit() noexcept;

    SettingsState settings;
    DictionaryStore dictionaries;
    OverlayEngine overlay;
    std::unique_ptr<SettingsUi> ui;  // none where the platform has no dialog

private:
    BuiltinDictionarySource builtinSource_;
    std::string settingsPath_;
    std::string settingsBaseName_;
};
