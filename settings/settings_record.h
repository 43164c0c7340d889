// The user settings as plain fields, in the order of the settings table.
// Text fields hold UTF-8 (the settings file may be Windows-1251).
#pragma once

#include <cstdint>
#include <string>

struct SettingsRecord {
    int32_t DicType = 0;
    std::string DicFileName;
    int32_t StringPosX = 0;
    int32_t StringPosY = 0;
    uint32_t RndStringPos = 0;
    std::string FontName;
    int32_t FontSize = 0;
    int32_t FontWeight = 0;
    uint8_t FontItalic = 0;
    uint8_t FontUnderline = 0;
    uint8_t FontStrikeOut = 0;
    uint8_t FontCharSet = 0;
    uint32_t TextColor = 0;
    uint32_t BackColor = 0;
    int32_t Transparency = 0;
    int32_t BackType = 0;
    int32_t ShowFreqFrom = 0;
    int32_t ShowFreqTo = 0;
    int32_t ShowTimeFrom = 0;
    int32_t ShowTimeTo = 0;
    int32_t RulesType = 0;
    int32_t CurIntEntry = 0;
    int32_t CurExtEntry = 0;
    int32_t OutlineWidth = 0;
    uint32_t OutlineColor = 0;
    int32_t ShadowOffset = 0;
    uint32_t ShadowColor = 0;
    int32_t BoxPadding = 0;
    uint32_t KeepProportions = 0;

    bool operator==(const SettingsRecord&) const = default;
};
