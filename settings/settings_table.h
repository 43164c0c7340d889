// The option table: one row per setting, and everything said of a setting
// anywhere is in its row: the key in the file, the field and its type code,
// the default, the range, the unit, a one-sentence description and, for a
// choice, its named values. Reading and writing the settings file walk it
// from first row to last; the dialog's ranges, the element's properties and
// the table in docs/settings.md are made from it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

#include "settings/canvas_units.h"
#include "settings/setting_choices.h"
#include "settings/settings_record.h"
#include "settings/typed_value.h"

// Where the plug-in keeps a value: the dialog's fields and the element's
// properties offer this range, and the code that uses the value clamps it
// there where it must. A value read from the file is taken as it stands,
// wrapped to its field.
struct SettingRange {
    int64_t minimum, maximum;

    template <class T>
    constexpr T Clamp(T value) const {
        return static_cast<T>(std::clamp<int64_t>(value, minimum, maximum));
    }
};

// What a setting is to the user beyond its number.
enum class SettingKind {
    kNumber,  // a count, a size, a position
    kFlag,    // off (0) or on (any other value)
    kColour,  // a COLORREF, 0x00BBGGRR; the top byte is ignored
    kText,
    kChoice,  // one of its named values
};

// One named value of a choice.
struct NamedValue {
    int32_t value;
    const char* nick;         // the name a front end takes, such as "whole-frame"
    const char* description;  // a few words, such as "the whole frame"
};

struct SettingDescriptor {
    int32_t typeCode;
    const char* key;                    // compared case-sensitively in the file
    void* (*storage)(SettingsRecord&);  // the row's field in a record
    int64_t defaultValue;               // numeric codes take its low 8, 16 or 32 bits
    const char* defaultText;            // code 12 only
    SettingRange range;                 // numeric codes only
    SettingKind kind;
    const char* unit;                     // what the number counts in; empty for none
    const char* description;              // one sentence
    std::span<const NamedValue> choices;  // kChoice only
    // What a front end that starts fresh (the GStreamer element, with no
    // habits of its own to keep) takes for a key its file lacks; the host's
    // plug-in takes defaultValue, so that its old files draw as they did.
    int64_t freshDefault;
};

namespace settings_rows {

template <auto field>
using FieldType = std::remove_reference_t<decltype(std::declval<SettingsRecord&>().*field)>;

template <auto field>
void* FieldOf(SettingsRecord& record) {
    return &(record.*field);
}

template <auto field>
constexpr SettingDescriptor Number(int32_t code, const char* key, int64_t defaultValue, SettingRange range,
                                   const char* unit, const char* description) {
    return {code,        key, FieldOf<field>, defaultValue, nullptr, range, SettingKind::kNumber, unit,
            description, {},  defaultValue};
}

template <auto field>
constexpr SettingDescriptor Flag(int32_t code, const char* key, int64_t defaultValue, const char* description) {
    return {code,        key, FieldOf<field>, defaultValue, nullptr, {0, 1}, SettingKind::kFlag, "",
            description, {},  defaultValue};
}

template <auto field>
constexpr SettingDescriptor Colour(const char* key, int64_t defaultValue, const char* description) {
    return {kTypeColour,          key, FieldOf<field>, defaultValue, nullptr,     {0, 0xFFFFFF},
            SettingKind::kColour, "",  description,    {},           defaultValue};
}

template <auto field>
constexpr SettingDescriptor Text(const char* key, const char* defaultText, const char* unit, const char* description) {
    return {kTypeText, key, FieldOf<field>, 0, defaultText, {0, 0}, SettingKind::kText, unit, description, {}, 0};
}

// The row with another default for a front end that starts fresh.
constexpr SettingDescriptor Fresh(SettingDescriptor row, int64_t freshDefault) {
    row.freshDefault = freshDefault;
    return row;
}

// A choice's range runs from its least named value to its greatest.
template <auto field>
constexpr SettingDescriptor Choice(const char* key, int64_t defaultValue, std::span<const NamedValue> values,
                                   const char* description) {
    SettingRange range = {values.front().value, values.front().value};
    for (const NamedValue& v : values)
        range.minimum = std::min<int64_t>(range.minimum, v.value),
        range.maximum = std::max<int64_t>(range.maximum, v.value);
    return {kTypeInt, key,         FieldOf<field>, defaultValue, nullptr, range, SettingKind::kChoice,
            "",       description, values,         defaultValue};
}

inline constexpr NamedValue kDicTypeValues[] = {
    {kBuiltinWords, "builtin", "the built-in dictionary"},
    {kWordList, "word-list", "the word list DicFileName"},
};
inline constexpr NamedValue kBackTypeValues[] = {
    {kBackgroundNone, "none", "only the letters"},
    {kBackgroundBox, "box", "a box the size of the caption"},
    {kBackgroundWholeFrame, "whole-frame", "the whole frame"},
};
inline constexpr NamedValue kRulesTypeValues[] = {
    {kOrderAtoZ, "a-z", "A to Z"},
    {kOrderZtoA, "z-a", "Z to A"},
    {kOrderRandom, "random", "at random"},
};

constexpr int64_t kIntMax = std::numeric_limits<int32_t>::max();

}  // namespace settings_rows

// A new setting is a new row, after the others: the order of the rows is
// the order of the keys in the file.
inline constexpr SettingDescriptor settingsTable[] = {
    settings_rows::Choice<&SettingsRecord::DicType>(
        "DicType", kBuiltinWords, settings_rows::kDicTypeValues,
        "Where the captions come from; another value takes no entry, and the last caption repeats."),
    settings_rows::Text<&SettingsRecord::DicFileName>(
        "DicFileName", "", "path",
        "The word list: a text file in UTF-8, UTF-16 or Windows-1251 with one \"word - translation\" a line (or a dash "
        "or tab between)."),
    settings_rows::Number<&SettingsRecord::StringPosX>(
        kTypeInt, "StringPosX", 634, {0, kCanvasWidth}, "canvas units",
        "Horizontal centre of the caption when RndStringPos is 0; the caption is kept inside the canvas, and the "
        "centre it was drawn at is written back."),
    settings_rows::Number<&SettingsRecord::StringPosY>(
        kTypeInt, "StringPosY", 537, {0, kCanvasHeight}, "canvas units",
        "Vertical centre of the caption when RndStringPos is 0, kept inside the canvas as StringPosX is."),
    settings_rows::Flag<&SettingsRecord::RndStringPos>(
        kTypeUint, "RndStringPos", 1,
        "Each caption at a random place on the canvas instead of at StringPosX, StringPosY."),
    settings_rows::Text<&SettingsRecord::FontName>(
        "FontName", "Arial", "face name",
        "The caption's font face, of which 31 bytes are used; a face the system lacks gives its nearest match."),
    // No taller than the canvas: a taller caption cannot show, and a larger
    // height would only overflow the layout arithmetic.
    settings_rows::Number<&SettingsRecord::FontSize>(
        kTypeLong, "FontSize", -40, {-kCanvasHeight, kCanvasHeight}, "canvas units",
        "The font's height: negative the letters' own height, positive the line's, the space above the letters "
        "included."),
    settings_rows::Number<&SettingsRecord::FontWeight>(kTypeLong, "FontWeight", 400, {0, 1000}, "weight",
                                                       "Stroke weight: 400 normal, 700 bold, 0 the font's own."),
    settings_rows::Flag<&SettingsRecord::FontItalic>(kTypeByte, "FontItalic", 0, "Italic letters."),
    settings_rows::Flag<&SettingsRecord::FontUnderline>(kTypeByte, "FontUnderline", 0, "Underlined letters."),
    settings_rows::Flag<&SettingsRecord::FontStrikeOut>(kTypeByte, "FontStrikeOut", 0, "Struck-out letters."),
    settings_rows::Number<&SettingsRecord::FontCharSet>(
        kTypeByte, "FontCharSet", 204, {0, 255}, "character set",
        "The character set asked of the font, 204 being Cyrillic; the Linux build ignores it."),
    // A fresh front end's look, measured by reading captions back over
    // photographs: white letters, outlined, on a dark box (docs/benchmarks.md
    // says what each gave).
    settings_rows::Fresh(
        settings_rows::Colour<&SettingsRecord::TextColor>("TextColor", 0x00A0FF, "Colour of the caption's letters."),
        0xFFFFFF),
    settings_rows::Fresh(settings_rows::Colour<&SettingsRecord::BackColor>(
                             "BackColor", 0xFFFFFF,
                             "Colour of the caption's background; with BackType none, the colour left out of the "
                             "caption, so keep it unlike TextColor."),
                         0x202020),
    settings_rows::Number<&SettingsRecord::Transparency>(
        kTypeInt, "Transparency", 100, {0, 100}, "percent",
        "Despite its name, the caption's opacity, letters and background alike: 100 solid, 0 invisible."),
    settings_rows::Fresh(settings_rows::Choice<&SettingsRecord::BackType>(
                             "BackType", kBackgroundNone, settings_rows::kBackTypeValues,
                             "What is drawn behind the letters; another value counts as box."),
                         kBackgroundBox),
    settings_rows::Number<&SettingsRecord::ShowFreqFrom>(
        kTypeInt, "ShowFreqFrom", 12, {1, 200}, "frames",
        "Frames from the start of one caption to the start of the next, at least; each period is drawn at random "
        "up to ShowFreqTo."),
    settings_rows::Number<&SettingsRecord::ShowFreqTo>(
        kTypeInt, "ShowFreqTo", 12, {1, 200}, "frames",
        "Frames from the start of one caption to the start of the next, at most; below ShowFreqFrom it counts as "
        "ShowFreqFrom."),
    settings_rows::Number<&SettingsRecord::ShowTimeFrom>(
        kTypeInt, "ShowTimeFrom", 1, {1, 100}, "frames",
        "Frames a caption stays, at least; each stay is drawn at random up to ShowTimeTo."),
    settings_rows::Number<&SettingsRecord::ShowTimeTo>(
        kTypeInt, "ShowTimeTo", 1, {1, 100}, "frames",
        "Frames a caption stays, at most; below ShowTimeFrom it counts as ShowTimeFrom."),
    settings_rows::Choice<&SettingsRecord::RulesType>(
        "RulesType", kOrderRandom, settings_rows::kRulesTypeValues,
        "The order in which the entries come; another value shows the same entry again."),
    settings_rows::Number<&SettingsRecord::CurIntEntry>(
        kTypeInt, "CurIntEntry", 0, {0, settings_rows::kIntMax}, "index",
        "The built-in entry shown last, counted from 0: the next caption, in this run or the next, comes after "
        "it."),
    settings_rows::Number<&SettingsRecord::CurExtEntry>(kTypeInt, "CurExtEntry", 0, {0, settings_rows::kIntMax},
                                                        "index", "The word-list entry shown last, as CurIntEntry."),
    // Off by default: a host's file without these keys draws as it always
    // has. A fresh front end starts from letters that read on any picture.
    settings_rows::Fresh(settings_rows::Number<&SettingsRecord::OutlineWidth>(
                             kTypeInt, "OutlineWidth", 0, {0, 16}, "canvas units",
                             "Width of the outline drawn round each letter in OutlineColor; 0 draws none."),
                         2),
    settings_rows::Colour<&SettingsRecord::OutlineColor>("OutlineColor", 0x000000,
                                                         "Colour of the outline round the letters."),
    settings_rows::Number<&SettingsRecord::ShadowOffset>(
        kTypeInt, "ShadowOffset", 0, {0, 16}, "canvas units",
        "How far right and down the letters' shadow falls in ShadowColor, beneath them and their outline; 0 draws "
        "none."),
    settings_rows::Colour<&SettingsRecord::ShadowColor>("ShadowColor", 0x000000, "Colour of the letters' shadow."),
    settings_rows::Fresh(settings_rows::Number<&SettingsRecord::BoxPadding>(
                             kTypeInt, "BoxPadding", 0, {0, 48}, "canvas units",
                             "Space between the letters and the edges of the box when BackType is box."),
                         16),
    settings_rows::Fresh(
        settings_rows::Flag<&SettingsRecord::KeepProportions>(
            kTypeUint, "KeepProportions", 0,
            "The letters keep their shape on any frame rather than stretch with it; positions stay on the canvas."),
        1),
};

constexpr int kSettingCount = static_cast<int>(std::size(settingsTable));

// The row of a key; a key that is no row does not compile where the
// lookup is made at compile time.
constexpr const SettingDescriptor& RowOf(std::string_view key) {
    for (const SettingDescriptor& row : settingsTable)
        if (key == row.key) return row;
    throw "no setting of that key";
}
consteval SettingRange RangeOf(std::string_view key) { return RowOf(key).range; }

namespace settings_rows {

// What the rows promise, checked as they are compiled.
consteval bool RowsAreSound() {
    for (int i = 0; i < kSettingCount; ++i) {
        const SettingDescriptor& row = settingsTable[i];
        for (int j = 0; j < i; ++j)
            if (std::string_view(row.key) == settingsTable[j].key) return false;  // one row a key
        const std::string_view description = row.description;
        if (description.empty() || description.back() != '.') return false;  // a sentence
        if (row.typeCode == kTypeText) continue;
        // A default outside its range would be clamped away where the range applies.
        for (const int64_t value : {row.defaultValue, row.freshDefault})
            if (value < row.range.minimum || value > row.range.maximum) return false;
        bool named = row.kind != SettingKind::kChoice, freshNamed = named;
        for (const NamedValue& value : row.choices)
            named = named || value.value == row.defaultValue,
            freshNamed = freshNamed || value.value == row.freshDefault;
        if (!named || !freshNamed) return false;  // a choice's defaults are among its values
    }
    return true;
}
static_assert(RowsAreSound());

}  // namespace settings_rows

// The name a front end gives the setting, its key in lower case with a
// hyphen before each word: ShowFreqFrom is show-freq-from.
std::string OptionNameOf(const SettingDescriptor& row);

// Which of a row's defaults a reader takes for a key its file lacks.
enum class Defaults { kTable, kFresh };

// Puts the row's default into its field of the record.
void ApplyDefault(const SettingDescriptor& descriptor, SettingsRecord& record, Defaults which = Defaults::kTable);

// A setting's value as a front end hands it over, with no text in between:
// a number for the numeric rows, taken to the field's width as the file's
// values are, and text for the text rows.
struct SettingValue {
    int64_t number = 0;
    std::string text;
    bool operator==(const SettingValue&) const = default;
};

SettingValue ValueOf(const SettingDescriptor& row, const SettingsRecord& record);
void StoreValue(const SettingDescriptor& row, const SettingValue& value, SettingsRecord& record);
// The row's default as a value.
SettingValue DefaultValueOf(const SettingDescriptor& row, Defaults which = Defaults::kTable);
