#include "settings/settings_persistence.h"

#include "settings/settings_state.h"
#include "settings/settings_table.h"

namespace {
const char kDefaultSection[] = "DEFAULT";
const char kPluginSection[] = "PluginSettings";
}  // namespace

void LoadSettings(CSettingsFile& file) {
    file.OpenForReading();
    file.ReadValues(kDefaultSection, settingsTable, kSettingCount);
    defaultSettings = storedSettings;
    file.ReadLong(kPluginSection, "DlgWndPosX", DlgWndPosX, kNoDialogPosition);
    file.ReadLong(kPluginSection, "DlgWndPosY", DlgWndPosY, kNoDialogPosition);
    file.ReadValues(kPluginSection, settingsTable, kSettingCount);
    workingSettings = storedSettings;
    file.Close();
}

void SaveSettings(CSettingsFile& file) {
    if (!file.OpenForWriting()) return;
    file.WriteSection(kPluginSection);
    file.WriteLong("DlgWndPosX", DlgWndPosX);
    file.WriteLong("DlgWndPosY", DlgWndPosY);
    storedSettings = workingSettings;
    file.WriteValues(settingsTable, kSettingCount);
    file.Close();
}
