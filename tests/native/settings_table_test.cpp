#include "settings/settings_table.h"

#include <gtest/gtest.h>

#include <iterator>

namespace {

// A record for the rows to point into, as the file's reads and writes use one.
SettingsRecord storedSettings;

// The host's settings files hold these keys, in this order and with these
// text forms; settings added since follow them.
TEST(SettingsTable, TheHostsKeysComeFirstInFileOrder) {
    const struct {
        const char* key;
        int32_t code;
    } expected[] = {
        {"DicType", 6},       {"DicFileName", 12}, {"StringPosX", 6},  {"StringPosY", 6},   {"RndStringPos", 4},
        {"FontName", 12},     {"FontSize", 8},     {"FontWeight", 8},  {"FontItalic", 0},   {"FontUnderline", 0},
        {"FontStrikeOut", 0}, {"FontCharSet", 0},  {"TextColor", 5},   {"BackColor", 5},    {"Transparency", 6},
        {"BackType", 6},      {"ShowFreqFrom", 6}, {"ShowFreqTo", 6},  {"ShowTimeFrom", 6}, {"ShowTimeTo", 6},
        {"RulesType", 6},     {"CurIntEntry", 6},  {"CurExtEntry", 6},
    };
    ASSERT_GE(kSettingCount, int(std::size(expected)));
    for (int i = 0; i < int(std::size(expected)); ++i) {
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
}

}  // namespace
