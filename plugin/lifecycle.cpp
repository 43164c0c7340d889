#include "plugin/lifecycle.h"

#include "overlay/overlay_engine.h"
#include "settings/settings_state.h"
#include "settings/settings_table.h"

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

void ReadSettings() {
    // No settings file yet: every key is missing, so every row takes its
    // default, in both sections.
    for (const SettingDescriptor& row : settingsTable) ApplyDefault(row);
    defaultSettings = storedSettings;
    DlgWndPosX = kNoDialogPosition;
    DlgWndPosY = kNoDialogPosition;
    for (const SettingDescriptor& row : settingsTable) ApplyDefault(row);
    workingSettings = storedSettings;
}

}  // namespace

extern "C" {

void TPP_CDECL PluginInit(void) {
    Guarded([] {
        ReadSettings();
        overlay::CreateRenderContext();
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

void TPP_CDECL PluginShowSettings(const HostWindowRecord*) {}

void TPP_CDECL PluginExit(void) {
    Guarded([] {});
}

}  // extern "C"
