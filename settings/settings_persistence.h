// Moving the settings between the file and the records at Init and Exit.
#pragma once

#include "settings/settings_state.h"

// Reads section "DEFAULT" into defaultSettings, the dialog position and
// section "PluginSettings" into workingSettings; a missing or unreadable
// file gives the defaults asked for. The file must have been located.
void LoadSettings(SettingsState& settings, Defaults defaults = Defaults::kTable);

// Rewrites the file with section "PluginSettings" from workingSettings and
// the dialog position. Nothing is written if the file cannot be opened.
void SaveSettings(SettingsState& settings);
// The same with these values in place of the working settings.
void SaveSettings(SettingsState& settings, const SettingsRecord& values);
