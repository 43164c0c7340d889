#include "gst/element_properties.h"

#include <gst/gst.h>

#include <cctype>
#include <cstring>

#include "settings/typed_value.h"

namespace {

enum class Kind { kNumber, kByte, kFlag, kColour, kText, kBackType, kRulesType, kDicType };

// What GStreamer shows of a settings row beyond its key, type, default
// and range.
struct PropertyLook {
    const char* key;
    Kind kind;
    const char* blurb;
};

const PropertyLook looks[kSettingCount] = {
    {"DicType", Kind::kDicType, "Where captions come from: the built-in dictionary or the word list dic-file-name"},
    {"DicFileName", Kind::kText,
     "Word list used with dic-type=word-list: Windows-1251 text, one \"word - translation\" a line"},
    {"StringPosX", Kind::kNumber,
     "Horizontal centre of the caption on a 768x576 canvas stretched over the picture (without rnd-string-pos)"},
    {"StringPosY", Kind::kNumber, "Vertical centre of the caption on the 768x576 canvas (without rnd-string-pos)"},
    {"RndStringPos", Kind::kFlag, "Each caption at a random place instead of string-pos-x, string-pos-y"},
    {"FontName", Kind::kText, "Font face of the caption (fontconfig finds the nearest)"},
    {"FontSize", Kind::kNumber,
     "Font height in canvas units (576 the picture's height): negative the letters' height, positive the line's"},
    {"FontWeight", Kind::kNumber, "Stroke weight: 400 normal, 700 bold"},
    {"FontItalic", Kind::kFlag, "Italic letters"},
    {"FontUnderline", Kind::kFlag, "Underlined letters"},
    {"FontStrikeOut", Kind::kFlag, "Struck-out letters"},
    {"FontCharSet", Kind::kByte, "Character set asked of the font (204 Cyrillic; ignored on Linux)"},
    {"TextColor", Kind::kColour, "Colour of the letters as 0xRRGGBB"},
    {"BackColor", Kind::kColour,
     "Colour of the background as 0xRRGGBB; with back-type=none the colour that is left out, so unlike text-color"},
    {"Transparency", Kind::kNumber,
     "Despite its name the caption's opacity in percent: 100 solid, 0 invisible"},
    {"BackType", Kind::kBackType, "Background of the caption"},
    {"ShowFreqFrom", Kind::kNumber,
     "Buffers from one caption to the next, at least (each period drawn at random up to show-freq-to)"},
    {"ShowFreqTo", Kind::kNumber, "Buffers from one caption to the next, at most"},
    {"ShowTimeFrom", Kind::kNumber,
     "Buffers a caption stays, at least (each drawn at random up to show-time-to)"},
    {"ShowTimeTo", Kind::kNumber, "Buffers a caption stays, at most"},
    {"RulesType", Kind::kRulesType, "Order in which the entries come"},
    {"CurIntEntry", Kind::kNumber,
     "Built-in entry shown last, from 0; the walk goes on after it. Saved in the settings file at stop"},
    {"CurExtEntry", Kind::kNumber,
     "Word-list entry shown last, as cur-int-entry; saved when the list is the settings file's"},
};

GType EnumType(const char* name, const GEnumValue* values, gsize* once) {
    if (g_once_init_enter(once)) g_once_init_leave(once, g_enum_register_static(name, values));
    return static_cast<GType>(*once);
}

GType BackTypeEnum() {
    static const GEnumValue values[] = {
        {0, "Only the letters", "none"},
        {1, "A box around the caption", "box"},
        {2, "The whole picture", "whole-frame"},
        {0, nullptr, nullptr},
    };
    static gsize type = 0;
    return EnumType("GstTpp25FrameBackType", values, &type);
}

GType RulesTypeEnum() {
    static const GEnumValue values[] = {
        {0, "A to Z", "a-z"},
        {1, "Z to A", "z-a"},
        {2, "At random", "random"},
        {0, nullptr, nullptr},
    };
    static gsize type = 0;
    return EnumType("GstTpp25FrameRulesType", values, &type);
}

GType DicTypeEnum() {
    static const GEnumValue values[] = {
        {0, "The built-in dictionary", "builtin"},
        {1, "The word list dic-file-name", "word-list"},
        {0, nullptr, nullptr},
    };
    static gsize type = 0;
    return EnumType("GstTpp25FrameDicType", values, &type);
}

// COLORREF 0x00BBGGRR and GStreamer's 0xRRGGBB: red and blue change places.
uint32_t SwapRedBlue(uint32_t colour) {
    return ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
}

constexpr GParamFlags kFlags =
    static_cast<GParamFlags>(G_PARAM_READWRITE | G_PARAM_STATIC_STRINGS | GST_PARAM_MUTABLE_PLAYING);

GParamSpec* SettingSpec(const SettingDescriptor& row, const PropertyLook& look) {
    const char* name = g_intern_string(PropertyName(row.key).c_str());
    const int64_t def = row.defaultValue;
    switch (look.kind) {
        case Kind::kNumber:
            return g_param_spec_int(name, row.key, look.blurb, row.range.Clamp<gint>(G_MININT),
                                    row.range.Clamp<gint>(G_MAXINT), static_cast<gint>(def), kFlags);
        case Kind::kByte:
            return g_param_spec_uint(name, row.key, look.blurb, static_cast<guint>(row.range.minimum),
                                     static_cast<guint>(row.range.maximum), static_cast<guint>(def), kFlags);
        case Kind::kFlag:
            return g_param_spec_boolean(name, row.key, look.blurb, def != 0, kFlags);
        case Kind::kColour:
            return g_param_spec_uint(name, row.key, look.blurb, 0, 0xFFFFFF,
                                     SwapRedBlue(static_cast<uint32_t>(def) & 0xFFFFFF), kFlags);
        case Kind::kText:
            return g_param_spec_string(name, row.key, look.blurb, *row.defaultText ? row.defaultText : nullptr,
                                       kFlags);
        case Kind::kBackType:
            return g_param_spec_enum(name, row.key, look.blurb, BackTypeEnum(), static_cast<gint>(def), kFlags);
        case Kind::kRulesType:
            return g_param_spec_enum(name, row.key, look.blurb, RulesTypeEnum(), static_cast<gint>(def), kFlags);
        case Kind::kDicType:
            return g_param_spec_enum(name, row.key, look.blurb, DicTypeEnum(), static_cast<gint>(def), kFlags);
    }
    return nullptr;
}

// The number in a field of the row's type, and back.
int64_t ReadNumber(const SettingDescriptor& row, const void* field) {
    switch (row.typeCode) {
        case kTypeByte: return *static_cast<const uint8_t*>(field);
        case kTypeUint:
        case kTypeColour: return *static_cast<const uint32_t*>(field);
        default: return *static_cast<const int32_t*>(field);
    }
}

}  // namespace

std::string PropertyName(const char* key) {
    std::string name;
    for (const char* c = key; *c; ++c) {
        if (std::isupper(static_cast<unsigned char>(*c)) && c != key) name.push_back('-');
        name.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(*c))));
    }
    return name;
}

void InstallElementProperties(GObjectClass* klass) {
    constexpr GParamFlags kReady =
        static_cast<GParamFlags>(G_PARAM_READWRITE | G_PARAM_STATIC_STRINGS | GST_PARAM_MUTABLE_READY);
    const std::string settingsFile = DefaultSettingsFile();
    g_object_class_install_property(
        klass, kPropertySettingsFile,
        g_param_spec_string("settings-file", "Settings file",
                            "Settings read at start, under the properties set; the walk through the dictionary is "
                            "saved there at stop. Empty: none",
                            settingsFile.c_str(), kReady));
    g_object_class_install_property(
        klass, kPropertyDictionary,
        g_param_spec_string("dictionary", "Word list",
                            "Word list to take the captions from instead of the settings' choice (a missing one "
                            "leaves the built-in dictionary, with a warning)",
                            nullptr, kFlags));
    for (guint i = 0; i < kSettingCount; ++i) {
        const SettingDescriptor& row = settingsTable[i];
        g_assert(std::strcmp(row.key, looks[i].key) == 0);
        g_object_class_install_property(klass, kPropertyFirstSetting + i, SettingSpec(row, looks[i]));
    }
}

bool SetElementProperty(RunSettings& run, guint id, const GValue* value) {
    if (id == kPropertySettingsFile) {
        const char* path = g_value_get_string(value);
        run.settingsFile = path ? path : "";
        return true;
    }
    if (id == kPropertyDictionary) {
        const char* path = g_value_get_string(value);
        run.dictionary = path ? path : "";
        return true;
    }
    if (id < kPropertyFirstSetting || id >= kPropertyFirstSetting + kSettingCount) return false;
    const guint index = id - kPropertyFirstSetting;
    const SettingDescriptor& row = settingsTable[index];
    void* field = row.storage(run.values);
    switch (looks[index].kind) {
        case Kind::kText: {
            const char* text = g_value_get_string(value);
            *static_cast<std::string*>(field) = text ? text : "";
            break;
        }
        case Kind::kFlag: StoreTypedNumber(row.typeCode, g_value_get_boolean(value) ? 1 : 0, field); break;
        case Kind::kColour: StoreTypedNumber(row.typeCode, SwapRedBlue(g_value_get_uint(value)), field); break;
        case Kind::kByte: StoreTypedNumber(row.typeCode, g_value_get_uint(value), field); break;
        case Kind::kNumber: StoreTypedNumber(row.typeCode, static_cast<uint32_t>(g_value_get_int(value)), field); break;
        default: StoreTypedNumber(row.typeCode, static_cast<uint32_t>(g_value_get_enum(value)), field); break;
    }
    run.set[index] = true;
    return true;
}

bool GetElementProperty(RunSettings& run, GParamSpec* spec, guint id, GValue* value) {
    if (id == kPropertySettingsFile) {
        g_value_set_string(value, run.settingsFile.c_str());
        return true;
    }
    if (id == kPropertyDictionary) {
        g_value_set_string(value, run.dictionary.empty() ? nullptr : run.dictionary.c_str());
        return true;
    }
    if (id < kPropertyFirstSetting || id >= kPropertyFirstSetting + kSettingCount) return false;
    const guint index = id - kPropertyFirstSetting;
    if (!run.set[index]) {
        g_param_value_set_default(spec, value);
        return true;
    }
    const SettingDescriptor& row = settingsTable[index];
    const void* field = row.storage(run.values);
    const int64_t number = looks[index].kind == Kind::kText ? 0 : ReadNumber(row, field);
    switch (looks[index].kind) {
        case Kind::kText: g_value_set_string(value, static_cast<const std::string*>(field)->c_str()); break;
        case Kind::kFlag: g_value_set_boolean(value, number != 0); break;
        case Kind::kColour: g_value_set_uint(value, SwapRedBlue(static_cast<uint32_t>(number))); break;
        case Kind::kByte: g_value_set_uint(value, static_cast<guint>(number)); break;
        case Kind::kNumber: g_value_set_int(value, static_cast<gint>(number)); break;
        default: g_value_set_enum(value, static_cast<gint>(number)); break;
    }
    return true;
}
