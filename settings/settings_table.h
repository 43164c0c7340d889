// The option table: one row per setting (key, type code, field, default,
// range). Reading and writing the settings file walk it from first row to
// last; the places that keep a value in range read the range here.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string_view>
#include <type_traits>

#include "settings/settings_record.h"
#include "settings/typed_value.h"

// Where the plug-in keeps a value: the dialog's fields offer this range and
// the code that uses the value clamps it there. A value read from the file
// is taken as it stands, wrapped to its field; a row whose value is never
// clamped carries its field's whole range.
struct SettingRange {
    int64_t minimum, maximum;

    template <class T>
    constexpr T Clamp(T value) const {
        return static_cast<T>(std::clamp<int64_t>(value, minimum, maximum));
    }
};

struct SettingDescriptor {
    int32_t typeCode;
    const char* key;                    // compared case-sensitively in the file
    void* (*storage)(SettingsRecord&);  // the row's field in a record
    int64_t defaultValue;               // numeric codes take its low 8, 16 or 32 bits
    const char* defaultText;            // code 12 only
    SettingRange range;                 // numeric codes only
};

namespace settings_rows {

template <auto field>
using FieldType = std::remove_reference_t<decltype(std::declval<SettingsRecord&>().*field)>;

template <auto field>
void* FieldOf(SettingsRecord& record) {
    return &(record.*field);
}

template <auto field>
constexpr SettingRange WholeRange() {
    using Limits = std::numeric_limits<FieldType<field>>;
    return {static_cast<int64_t>(Limits::min()), static_cast<int64_t>(Limits::max())};
}

template <auto field>
constexpr SettingDescriptor Number(int32_t code, const char* key, int64_t defaultValue,
                                   SettingRange range = WholeRange<field>()) {
    return {code, key, FieldOf<field>, defaultValue, nullptr, range};
}

template <auto field>
constexpr SettingDescriptor Text(const char* key, const char* defaultText) {
    return {kTypeText, key, FieldOf<field>, 0, defaultText, {0, 0}};
}

}  // namespace settings_rows

constexpr int kSettingCount = 23;

inline constexpr SettingDescriptor settingsTable[kSettingCount] = {
    settings_rows::Number<&SettingsRecord::DicType>(kTypeInt, "DicType", 0),
    settings_rows::Text<&SettingsRecord::DicFileName>("DicFileName", ""),
    settings_rows::Number<&SettingsRecord::StringPosX>(kTypeInt, "StringPosX", 634),
    settings_rows::Number<&SettingsRecord::StringPosY>(kTypeInt, "StringPosY", 537),
    settings_rows::Number<&SettingsRecord::RndStringPos>(kTypeUint, "RndStringPos", 1),
    settings_rows::Text<&SettingsRecord::FontName>("FontName", "Arial"),
    // No taller than the 576 units of the canvas: a taller caption cannot
    // show, and a larger height would only overflow the layout arithmetic.
    settings_rows::Number<&SettingsRecord::FontSize>(kTypeLong, "FontSize", -40, {-576, 576}),
    settings_rows::Number<&SettingsRecord::FontWeight>(kTypeLong, "FontWeight", 400),
    settings_rows::Number<&SettingsRecord::FontItalic>(kTypeByte, "FontItalic", 0),
    settings_rows::Number<&SettingsRecord::FontUnderline>(kTypeByte, "FontUnderline", 0),
    settings_rows::Number<&SettingsRecord::FontStrikeOut>(kTypeByte, "FontStrikeOut", 0),
    settings_rows::Number<&SettingsRecord::FontCharSet>(kTypeByte, "FontCharSet", 204),  // Cyrillic
    settings_rows::Number<&SettingsRecord::TextColor>(kTypeColour, "TextColor", 0x00A0FF),
    settings_rows::Number<&SettingsRecord::BackColor>(kTypeColour, "BackColor", 0xFFFFFF),
    // The caption's opacity in percent, whatever the name says.
    settings_rows::Number<&SettingsRecord::Transparency>(kTypeInt, "Transparency", 100, {0, 100}),
    settings_rows::Number<&SettingsRecord::BackType>(kTypeInt, "BackType", 0),
    settings_rows::Number<&SettingsRecord::ShowFreqFrom>(kTypeInt, "ShowFreqFrom", 12, {1, 200}),
    settings_rows::Number<&SettingsRecord::ShowFreqTo>(kTypeInt, "ShowFreqTo", 12, {1, 200}),
    settings_rows::Number<&SettingsRecord::ShowTimeFrom>(kTypeInt, "ShowTimeFrom", 1, {1, 100}),
    settings_rows::Number<&SettingsRecord::ShowTimeTo>(kTypeInt, "ShowTimeTo", 1, {1, 100}),
    settings_rows::Number<&SettingsRecord::RulesType>(kTypeInt, "RulesType", 2),
    settings_rows::Number<&SettingsRecord::CurIntEntry>(kTypeInt, "CurIntEntry", 0),
    settings_rows::Number<&SettingsRecord::CurExtEntry>(kTypeInt, "CurExtEntry", 0),
};

// A default outside its range would be clamped away where the range applies.
consteval bool DefaultsLieInTheirRanges() {
    for (const SettingDescriptor& row : settingsTable)
        if (row.typeCode != kTypeText && (row.defaultValue < row.range.minimum || row.defaultValue > row.range.maximum))
            return false;
    return true;
}
static_assert(DefaultsLieInTheirRanges());

// The range of the row with this key; a key that is no row does not compile.
consteval SettingRange RangeOf(std::string_view key) {
    for (const SettingDescriptor& row : settingsTable)
        if (key == row.key) return row.range;
    throw "no setting of that key";
}

// Puts the row's default into its field of the record.
void ApplyDefault(const SettingDescriptor& descriptor, SettingsRecord& record);
