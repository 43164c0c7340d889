#include "settings/settings_table.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// A record for the rows to point into, as the file's reads and writes use one.
SettingsRecord storedSettings;

TEST(SettingsTable, KeysAndCodesInFileOrder) {
    const struct {
        const char* key;
        int32_t code;
    } expected[kSettingCount] = {
        {"DicType", 6},       {"DicFileName", 12},  {"StringPosX", 6},    {"StringPosY", 6},
        {"RndStringPos", 4},  {"FontName", 12},     {"FontSize", 8},      {"FontWeight", 8},
        {"FontItalic", 0},    {"FontUnderline", 0}, {"FontStrikeOut", 0}, {"FontCharSet", 0},
        {"TextColor", 5},     {"BackColor", 5},     {"Transparency", 6},  {"BackType", 6},
        {"ShowFreqFrom", 6},  {"ShowFreqTo", 6},    {"ShowTimeFrom", 6},  {"ShowTimeTo", 6},
        {"RulesType", 6},     {"CurIntEntry", 6},   {"CurExtEntry", 6},
    };
    for (int i = 0; i < kSettingCount; ++i) {
        EXPECT_STREQ(settingsTable[i].key, expected[i].key) << "row " << i;
        EXPECT_EQ(settingsTable[i].typeCode, expected[i].code) << expected[i].key;
    }
}

// Each row must point at its own field of storedSettings, in record order;
// a row pointing at a neighbour would silently swap two settings.
TEST(SettingsTable, RowsPointAtSuccessiveFieldsOfStoredSettings) {
    const auto* begin = reinterpret_cast<const char*>(&storedSettings);
    const auto* end = begin + sizeof storedSettings;
    const char* previous = nullptr;
    for (const SettingDescriptor& row : settingsTable) {
        const auto* field = static_cast<const char*>(row.storage(storedSettings));
        EXPECT_GE(field, begin) << row.key;
        EXPECT_LT(field, end) << row.key;
        if (previous) {
            EXPECT_GT(field, previous) << row.key;
        }
        previous = field;
    }
    EXPECT_EQ(settingsTable[0].storage(storedSettings), &storedSettings.DicType);
    EXPECT_EQ(settingsTable[kSettingCount - 1].storage(storedSettings), &storedSettings.CurExtEntry);
}

TEST(SettingsTable, DefaultsFillTheRecord) {
    storedSettings = SettingsRecord{};
    storedSettings.FontName = "stale";
    for (const SettingDescriptor& row : settingsTable) ApplyDefault(row, storedSettings);

    SettingsRecord expected;
    expected.DicType = 0;
    expected.DicFileName = "";
    expected.StringPosX = 634;
    expected.StringPosY = 537;
    expected.RndStringPos = 1;
    expected.FontName = "Arial";
    expected.FontSize = -40;
    expected.FontWeight = 400;
    expected.FontCharSet = 204;
    expected.TextColor = 41215;
    expected.BackColor = 16777215;
    expected.Transparency = 100;
    expected.BackType = 0;
    expected.ShowFreqFrom = 12;
    expected.ShowFreqTo = 12;
    expected.ShowTimeFrom = 1;
    expected.ShowTimeTo = 1;
    expected.RulesType = 2;
    EXPECT_EQ(storedSettings, expected);
}

TEST(SettingsTable, DefaultsWrittenAsDecimalText) {
    for (const SettingDescriptor& row : settingsTable) ApplyDefault(row, storedSettings);
    const auto text = [](const char* key) {
        for (const SettingDescriptor& row : settingsTable)
            if (std::strcmp(row.key, key) == 0) return FormatTypedValue(row.typeCode, row.storage(storedSettings));
        return std::string("?");
    };
    EXPECT_EQ(text("FontSize"), "-40");
    EXPECT_EQ(text("TextColor"), "41215");
    EXPECT_EQ(text("BackColor"), "16777215");
    EXPECT_EQ(text("FontCharSet"), "204");
    EXPECT_EQ(text("DicFileName"), "");
}

}  // namespace
