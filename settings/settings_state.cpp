#include "settings/settings_state.h"

SettingsRecord storedSettings;
SettingsRecord defaultSettings;
SettingsRecord workingSettings;
SettingsRecord dialogSnapshot;

int32_t DlgWndPosX = 0;
int32_t DlgWndPosY = 0;

CSettingsFile settingsFile;
