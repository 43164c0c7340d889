// The settings dialog as the plug-in instance sees it. Platform-neutral:
// a build without a dialog makes none.
#pragma once

#include <memory>

#include "dictionary/dictionary_store.h"
#include "overlay/overlay_engine.h"
#include "settings/settings_state.h"

class SettingsUi {
public:
    virtual ~SettingsUi() = default;

    // Opens the dialog owned by the host's window (an HWND on Windows), or,
    // when it is already open, focuses it and flashes its title bar.
    virtual void Show(void* hostWindow) = 0;

    // Destroys the dialog if it is open; the working values stay as they
    // are and its screen position is kept for the settings file.
    virtual void Close() = 0;
};

// What a dialog works on: one instance's settings, dictionaries and
// overlay, and the module whose resources hold the dialog's template (an
// HINSTANCE on Windows).
struct SettingsUiParts {
    SettingsState& settings;
    DictionaryStore& dictionaries;
    OverlayEngine& overlay;
    void* resourceModule;
};

// The platform's dialog; null where there is none.
std::unique_ptr<SettingsUi> MakeSettingsUi(const SettingsUiParts& parts);
