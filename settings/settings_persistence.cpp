#include "settings/settings_persistence.h"

#include "settings/settings_table.h"

namespace {
const char kDefaultSection[] = "DEFAULT";
const char kPluginSection[] = "PluginSettings";
}  // namespace

void LoadSettings(SettingsState& settings, Defaults defaults) {
    CSettingsFile& file = settings.settingsFile;
    file.OpenForReading();
    file.ReadValues(kDefaultSection, settingsTable, kSettingCount, settings.storedSettings, defaults);
    settings.defaultSettings = settings.storedSettings;
    file.ReadLong(kPluginSection, "DlgWndPosX", settings.DlgWndPosX, kNoDialogPosition);
    file.ReadLong(kPluginSection, "DlgWndPosY", settings.DlgWndPosY, kNoDialogPosition);
    file.ReadValues(kPluginSection, settingsTable, kSettingCount, settings.storedSettings, defaults);
    settings.workingSettings.Change([&](SettingsRecord& working) { working = settings.storedSettings; });
    file.Close();
}

void SaveSettings(SettingsState& settings) { SaveSettings(settings, settings.workingSettings.Get()); }

void SaveSettings(SettingsState& settings, const SettingsRecord& values) {
    CSettingsFile& file = settings.settingsFile;
    if (!file.OpenForWriting()) return;
    file.WriteSection(kPluginSection);
    file.WriteLong("DlgWndPosX", settings.DlgWndPosX);
    file.WriteLong("DlgWndPosY", settings.DlgWndPosY);
    settings.storedSettings = values;
    file.WriteValues(settingsTable, kSettingCount, settings.storedSettings);
    file.Close();
}
