// The settings copies, one set per loaded library.
#pragma once

#include <cstdint>

#include "settings/settings_file.h"
#include "settings/settings_record.h"

extern SettingsRecord storedSettings;   // as last read from or about to be written to the file
extern SettingsRecord defaultSettings;  // section "DEFAULT"; used by the dialog's Default button
extern SettingsRecord workingSettings;  // the live copy everything else reads and changes
extern SettingsRecord dialogSnapshot;   // working values when the dialog opened

// The dialog's screen position when it was last closed; -100 both: none.
extern int32_t DlgWndPosX;
extern int32_t DlgWndPosY;
constexpr int32_t kNoDialogPosition = -100;

// The settings file, located at Init; closed between Init and Exit.
extern CSettingsFile settingsFile;
