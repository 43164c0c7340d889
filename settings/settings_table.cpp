#include "settings/settings_table.h"

#include <string>

#include "settings/settings_state.h"

namespace {
SettingsRecord& s = storedSettings;
}

const SettingDescriptor settingsTable[kSettingCount] = {
    {kTypeInt, "DicType", &s.DicType, 0, nullptr},
    {kTypeText, "DicFileName", &s.DicFileName, 0, ""},
    {kTypeInt, "StringPosX", &s.StringPosX, 634, nullptr},
    {kTypeInt, "StringPosY", &s.StringPosY, 537, nullptr},
    {kTypeUint, "RndStringPos", &s.RndStringPos, 1, nullptr},
    {kTypeText, "FontName", &s.FontName, 0, "Arial"},
    {kTypeLong, "FontSize", &s.FontSize, -40, nullptr},
    {kTypeLong, "FontWeight", &s.FontWeight, 400, nullptr},
    {kTypeByte, "FontItalic", &s.FontItalic, 0, nullptr},
    {kTypeByte, "FontUnderline", &s.FontUnderline, 0, nullptr},
    {kTypeByte, "FontStrikeOut", &s.FontStrikeOut, 0, nullptr},
    {kTypeByte, "FontCharSet", &s.FontCharSet, 204, nullptr},  // Cyrillic
    {kTypeColour, "TextColor", &s.TextColor, 0x00A0FF, nullptr},
    {kTypeColour, "BackColor", &s.BackColor, 0xFFFFFF, nullptr},
    {kTypeInt, "Transparency", &s.Transparency, 100, nullptr},
    {kTypeInt, "BackType", &s.BackType, 0, nullptr},
    {kTypeInt, "ShowFreqFrom", &s.ShowFreqFrom, 12, nullptr},
    {kTypeInt, "ShowFreqTo", &s.ShowFreqTo, 12, nullptr},
    {kTypeInt, "ShowTimeFrom", &s.ShowTimeFrom, 1, nullptr},
    {kTypeInt, "ShowTimeTo", &s.ShowTimeTo, 1, nullptr},
    {kTypeInt, "RulesType", &s.RulesType, 2, nullptr},
    {kTypeInt, "CurIntEntry", &s.CurIntEntry, 0, nullptr},
    {kTypeInt, "CurExtEntry", &s.CurExtEntry, 0, nullptr},
};

void ApplyDefault(const SettingDescriptor& descriptor) {
    if (descriptor.typeCode == kTypeText)
        *static_cast<std::string*>(descriptor.storage) = descriptor.defaultText;
    else
        StoreTypedNumber(descriptor.typeCode, static_cast<uint64_t>(descriptor.defaultValue), descriptor.storage);
}
