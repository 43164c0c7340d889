#include "plugin/lifecycle.h"

#include "dictionary/builtin_dictionary.h"
#include "dictionary/dictionary_store.h"
#include "overlay/overlay_engine.h"
#include "platform/settings_location.h"
#include "settings/settings_location.h"
#include "settings/settings_persistence.h"
#include "settings/settings_state.h"
#include "ui/settings_ui.h"

namespace {

// Runs one callback body; an exception ends the callback with the fallback
// result instead of unwinding into the host.
template <class Body, class Result>
Result Guarded(Body body, Result fallback) noexcept {
    try {
        return body();
    } catch (...) {
        return fallback;
    }
}

template <class Body>
void Guarded(Body body) noexcept {
    try {
        body();
    } catch (...) {
    }
}

}  // namespace

extern "C" {

void TPP_CDECL PluginInit(void) {
    Guarded([] {
        settingsFile.Locate(ModuleBaseName(platform::PluginModulePath()));
        LoadSettings(settingsFile);
        overlay::CreateRenderContext();
        LoadBuiltinDictionary();
        LoadAltDictionary();
    });
}

int32_t TPP_CDECL PluginStreamStart(const StreamFormat* format) {
    return Guarded([format] { return overlay::StreamStart(format); }, int32_t{1});
}

int32_t TPP_CDECL PluginProcessFrame(FrameRecord* frame) {
    return Guarded([frame] { return overlay::ProcessFrame(frame); }, int32_t{0});
}

void TPP_CDECL PluginStreamStop(void) {
    Guarded([] { overlay::StreamStop(); });
}

void TPP_CDECL PluginShowSettings(const HostWindowRecord* host) {
    // Without a record there is no owner to speak of: a broken host, nothing opens.
    if (!host) return;
    Guarded([host] { ShowSettingsDialog(host->window); });
}

void TPP_CDECL PluginExit(void) {
    Guarded([] {
        // The dialog goes first: it stores its position while it is destroyed.
        CloseSettingsDialog();
        // A changed dictionary is written before the settings that name it.
        if (AltDictionaryChanged()) SaveAltDictionary();
        SaveSettings(settingsFile);
    });
}

}  // extern "C"
