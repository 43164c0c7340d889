#include "settings/settings_persistence.h"

#include <cstdio>

#include "settings/settings_table.h"
#include "settings/typed_value.h"

namespace {

const char kDefaultSection[] = "DEFAULT";
const char kPluginSection[] = "PluginSettings";
const char kWordListSection[] = "WordListPositions";

// The dialog position and every row, as the plug-in writes them.
std::vector<SettingsLine> LinesOf(const SettingsState& settings, const SettingsRecord& values) {
    std::vector<SettingsLine> lines = {{"DlgWndPosX", std::to_string(settings.DlgWndPosX)},
                                       {"DlgWndPosY", std::to_string(settings.DlgWndPosY)}};
    SettingsRecord record = values;
    for (int i = 0; i < kSettingCount; ++i) {
        const SettingDescriptor& row = settingsTable[i];
        if (IsValidTypeCode(row.typeCode))
            lines.push_back({row.key, FormatTypedValue(row.typeCode, row.storage(record))});
    }
    return lines;
}

bool NeedsEscape(char c, bool atEnd) {
    return c == '%' || c == '=' || c == '[' || c == ']' || c == '\r' || c == '\n' ||
           (atEnd && (c == ' ' || c == '\t' || c == '\v' || c == '\f'));
}

}  // namespace

platform::FileOutcome LoadSettings(SettingsState& settings, Defaults defaults) {
    CSettingsFile& file = settings.settingsFile;
    const platform::FileOutcome opened = file.OpenForReading();
    file.ReadValues(kDefaultSection, settingsTable, kSettingCount, settings.storedSettings, defaults);
    settings.defaultSettings = settings.storedSettings;
    file.ReadLong(kPluginSection, "DlgWndPosX", settings.DlgWndPosX, kNoDialogPosition);
    file.ReadLong(kPluginSection, "DlgWndPosY", settings.DlgWndPosY, kNoDialogPosition);
    file.ReadValues(kPluginSection, settingsTable, kSettingCount, settings.storedSettings, defaults);
    settings.workingSettings.Change([&](SettingsRecord& working) { working = settings.storedSettings; });
    // Lines that set nothing are named, so that a hand edit that did not
    // take is seen; the save keeps them where they are.
    std::vector<std::string_view> keys = {"DlgWndPosX", "DlgWndPosY"};
    for (const SettingDescriptor& row : settingsTable) keys.push_back(row.key);
    settings.unreadLines.clear();
    for (const char* section : {kPluginSection, kDefaultSection})
        for (std::string& line : file.UnreadLines(section, keys))
            settings.unreadLines.push_back({section, std::move(line)});
    settings.wordListPositions.clear();
    for (const SettingsLine& line : file.ReadSection(kWordListSection))
        settings.wordListPositions.push_back(
            {PathOfWordListKey(line.key), static_cast<int32_t>(ParseDecimal(line.value.c_str(), false))});
    file.Close();
    return opened;
}

platform::FileOutcome SaveSettings(SettingsState& settings) {
    return SaveSettings(settings, settings.workingSettings.Get());
}

platform::FileOutcome SaveSettings(SettingsState& settings, const SettingsRecord& values) {
    settings.storedSettings = values;
    // Key by key, so that a line the plug-in does not know stays where the
    // user put it.
    return settings.settingsFile.Save({{kPluginSection, true, LinesOf(settings, values), {}}});
}

platform::FileOutcome SaveWalkPositions(SettingsState& settings, const WalkPositions& walks) {
    SectionEdit plugin{kPluginSection, false, {{"CurIntEntry", std::to_string(walks.builtin)}}, {}};
    if (walks.fileListWalked) plugin.set.push_back({"CurExtEntry", std::to_string(walks.fileList)});
    for (SettingsLine& line : LinesOf(settings, settings.storedSettings))
        if (line.key != "CurIntEntry" && !(walks.fileListWalked && line.key == "CurExtEntry"))
            plugin.fill.push_back(std::move(line));
    SectionEdit lists{kWordListSection, false, {}, {}};
    for (const WordListPosition& list : walks.lists)
        if (!list.path.empty()) lists.set.push_back({WordListKey(list.path), std::to_string(list.index)});
    return settings.settingsFile.Save({plugin, lists});
}

std::string WordListKey(const std::string& path) {
    std::string key;
    for (size_t i = 0; i < path.size(); ++i) {
        const char c = path[i];
        if (!NeedsEscape(c, i == 0 || i + 1 == path.size())) {
            key.push_back(c);
            continue;
        }
        char escaped[4];
        std::snprintf(escaped, sizeof escaped, "%%%02X", static_cast<unsigned char>(c));
        key += escaped;
    }
    return key;
}

std::string PathOfWordListKey(const std::string& key) {
    std::string path;
    for (size_t i = 0; i < key.size(); ++i) {
        if (key[i] == '%' && i + 2 < key.size() && HexDigit(key[i + 1]) >= 0 && HexDigit(key[i + 2]) >= 0) {
            path.push_back(static_cast<char>(HexDigit(key[i + 1]) * 16 + HexDigit(key[i + 2])));
            i += 2;
        } else {
            path.push_back(key[i]);
        }
    }
    return path;
}
