#include "gst/element_properties.h"

#include <gst/gst.h>

#include "frontend/key_map.h"
#include "learner/store_path.h"
#include "settings/typed_value.h"

namespace {

constexpr GParamFlags kFlags = static_cast<GParamFlags>(G_PARAM_READWRITE | G_PARAM_STATIC_STRINGS |
                                                        GST_PARAM_MUTABLE_PLAYING);

// The element's order after the row's three (caption_engine.h).
constexpr NamedValue kSpacedOrder = {kOrderSpaced, "spaced",
                                     "by the learner's progress: known words never, missed ones soon, then at "
                                     "FSRS's intervals (the element's own)"};

// The enum type of a choice, from its named values; registered once for
// the life of the process, as GLib's types are, which keep the values.
GType ModeType() {
    static const GEnumValue values[] = {
        {0, "the settings rows' frames: a caption for a frame or a few, every few frames", "flash"},
        {1, "a caption that stays study-show seconds, one every study-every seconds of the stream", "study"},
        {0, nullptr, nullptr}};
    static const GType type = g_enum_register_static("GstTpp25FrameMode", values);
    return type;
}

GType ChoiceType(const SettingDescriptor& row) {
    std::vector<NamedValue> choices(row.choices.begin(), row.choices.end());
    if (std::string(row.key) == "RulesType") choices.push_back(kSpacedOrder);
    GEnumValue* values = g_new0(GEnumValue, choices.size() + 1);
    for (size_t i = 0; i < choices.size(); ++i) values[i] = {choices[i].value, choices[i].description, choices[i].nick};
    return g_enum_register_static(g_intern_string((std::string("GstTpp25Frame") + row.key).c_str()), values);
}

bool IsUnsigned(int32_t typeCode) { return typeCode == kTypeByte || typeCode == kTypeUint || typeCode == kTypeColour; }

GParamSpec* SettingSpec(const SettingDescriptor& row) {
    const char* name = g_intern_string(OptionNameOf(row).c_str());
    const int64_t def = row.freshDefault;  // what the element starts from without a file
    const SettingRange range = row.range;
    switch (row.kind) {
        case SettingKind::kFlag: return g_param_spec_boolean(name, row.key, row.description, def != 0, kFlags);
        case SettingKind::kColour:
            return g_param_spec_uint(name, row.key, row.description, 0, 0xFFFFFF, SwapRedBlue(uint32_t(def)), kFlags);
        case SettingKind::kText:
            return g_param_spec_string(name, row.key, row.description, *row.defaultText ? row.defaultText : nullptr,
                                       kFlags);
        case SettingKind::kChoice:
            // A fresh element has a progress store, and so the spaced order.
            return g_param_spec_enum(name, row.key, row.description, ChoiceType(row),
                                     &row == &RowOf("RulesType") ? kOrderSpaced : gint(def), kFlags);
        case SettingKind::kNumber:
            if (IsUnsigned(row.typeCode))
                return g_param_spec_uint(name, row.key, row.description, guint(range.minimum), guint(range.maximum),
                                         guint(def), kFlags);
            return g_param_spec_int(name, row.key, row.description, gint(range.minimum), gint(range.maximum), gint(def),
                                    kFlags);
    }
    return nullptr;
}

}  // namespace

void InstallElementProperties(GObjectClass* klass) {
    constexpr GParamFlags kReady = static_cast<GParamFlags>(G_PARAM_READWRITE | G_PARAM_STATIC_STRINGS |
                                                            GST_PARAM_MUTABLE_READY);
    const std::string settingsFile = DefaultSettingsFile();
    g_object_class_install_property(
        klass, kPropertySettingsFile,
        g_param_spec_string("settings-file", "Settings file",
                            "Settings read at start, under the properties set; the walk through the dictionary is "
                            "saved there at stop. none (or empty): no file",
                            settingsFile.c_str(), kReady));
    g_object_class_install_property(
        klass, kPropertyDictionary,
        g_param_spec_string("dictionary", "Word list",
                            "Word list to take the captions from instead of the settings' choice (a missing one "
                            "leaves the built-in dictionary, with a warning)",
                            nullptr, kFlags));
    g_object_class_install_property(
        klass, kPropertyKeys,
        g_param_spec_string("keys", "Keys",
                            "The keys of the video window, action=key separated by commas, over the defaults "
                            "known=k,again=a,next=n,repeat=r,captions=c,help=? (action=none: no key); a text it "
                            "cannot read is refused with a warning",
                            KeyMap().Text().c_str(), kFlags));
    g_object_class_install_property(
        klass, kPropertyProgressDb,
        g_param_spec_string("progress-db", "Progress store",
                            "The learner's progress store (SQLite), where every caption shown and every mark is "
                            "recorded and the spaced order keeps its schedule. none (or empty): no store",
                            learner::DefaultStorePath().c_str(), kReady));
    g_object_class_install_property(
        klass, kPropertyPlayerKeys,
        g_param_spec_string("player-keys", "Player's keys",
                            "The keys of the player around the element, told after the element's own in the help "
                            "caption (the help key)",
                            nullptr, kFlags));
    const CaptionTiming timing;
    g_object_class_install_property(
        klass, kPropertyMode,
        g_param_spec_enum("mode", "Mode",
                          "study: captions a viewer can read and mark, timed in the stream's seconds; flash: the "
                          "settings rows' frame timing (show-freq-*, show-time-*)",
                          ModeType(), timing.study ? 1 : 0, kFlags));
    g_object_class_install_property(
        klass, kPropertyStudyShow,
        g_param_spec_double("study-show", "Study caption time", "In study mode, the seconds a caption stays on screen",
                            kStudyShowMin, kStudyShowMax, timing.showSeconds, kFlags));
    g_object_class_install_property(
        klass, kPropertyStudyEvery,
        g_param_spec_double("study-every", "Study caption interval",
                            "In study mode, the seconds from one caption's start to the next", kStudyEveryMin,
                            kStudyEveryMax, timing.everySeconds, kFlags));
    g_object_class_install_property(
        klass, kPropertyKeepClear,
        g_param_spec_double("keep-clear", "Keep clear",
                            "The share of the frame's height at the bottom that captions keep out of, so that the "
                            "film's subtitles stay readable",
                            0, kKeepClearMax, 0, kFlags));
    g_object_class_install_property(
        klass, kPropertySubtitles,
        g_param_spec_string("subtitles", "Subtitles",
                            "A subtitle file (.srt, .ass, .ssa, .vtt), or a film whose first text track is read: "
                            "every caption is then one of the film's coming words the learner does not know, "
                            "shown lead seconds before the line that holds it; read when the element starts",
                            nullptr, kReady));
    const RunSettings run;
    g_object_class_install_property(
        klass, kPropertyLead,
        g_param_spec_double("lead", "Lead", "With subtitles, the seconds a word's caption starts before its line",
                            kLeadMin, kLeadMax, run.leadSeconds, kReady));
    for (guint i = 0; i < kSettingCount; ++i)
        g_object_class_install_property(klass, kPropertyFirstSetting + i, SettingSpec(settingsTable[i]));
}

bool SetElementProperty(RunSettings& run, guint id, const GValue* value) {
    if (id == kPropertySettingsFile || id == kPropertyDictionary || id == kPropertyProgressDb) {
        const char* path = g_value_get_string(value);
        std::string& field = id == kPropertySettingsFile ? run.settingsFile
                             : id == kPropertyProgressDb ? run.progressStore
                                                         : run.dictionary;
        field = path ? path : "";
        // "settings-file= !" in gst-launch takes the next word: a word of
        // its own says "no file" (./none is a file of that name).
        if (id != kPropertyDictionary && field == "none") field.clear();
        run.dictionaryPending = run.dictionaryPending || id == kPropertyDictionary;
        return true;
    }
    switch (id) {
        case kPropertyMode: run.timing.study = g_value_get_enum(value) == 1; return true;
        case kPropertyStudyShow: run.timing.showSeconds = g_value_get_double(value); return true;
        case kPropertyStudyEvery: run.timing.everySeconds = g_value_get_double(value); return true;
        case kPropertyKeepClear: run.keepClear = g_value_get_double(value); return true;
        case kPropertySubtitles: {
            const char* path = g_value_get_string(value);
            run.subtitles = path ? path : "";
            if (run.subtitles == "none") run.subtitles.clear();
            return true;
        }
        case kPropertyLead: run.leadSeconds = g_value_get_double(value); return true;
        default: break;
    }
    if (id < kPropertyFirstSetting || id >= kPropertyFirstSetting + kSettingCount) return false;
    const guint index = id - kPropertyFirstSetting;
    const SettingDescriptor& row = settingsTable[index];
    SettingValue setting;
    switch (row.kind) {
        case SettingKind::kText: {
            const char* text = g_value_get_string(value);
            setting.text = text ? text : "";
            break;
        }
        case SettingKind::kFlag: setting.number = g_value_get_boolean(value) ? 1 : 0; break;
        case SettingKind::kColour: setting.number = SwapRedBlue(g_value_get_uint(value)); break;
        case SettingKind::kChoice: setting.number = g_value_get_enum(value); break;
        case SettingKind::kNumber:
            setting.number = IsUnsigned(row.typeCode) ? int64_t{g_value_get_uint(value)} : g_value_get_int(value);
            break;
    }
    run.values[index] = std::move(setting);
    run.pending.set(index);
    return true;
}

bool GetElementProperty(const RunSettings& run, GParamSpec* spec, guint id, GValue* value) {
    if (id == kPropertySettingsFile || id == kPropertyProgressDb) {
        g_value_set_string(value, (id == kPropertySettingsFile ? run.settingsFile : run.progressStore).c_str());
        return true;
    }
    if (id == kPropertyDictionary) {
        g_value_set_string(value, run.dictionary.empty() ? nullptr : run.dictionary.c_str());
        return true;
    }
    switch (id) {
        case kPropertyMode: g_value_set_enum(value, run.timing.study ? 1 : 0); return true;
        case kPropertyStudyShow: g_value_set_double(value, run.timing.showSeconds); return true;
        case kPropertyStudyEvery: g_value_set_double(value, run.timing.everySeconds); return true;
        case kPropertyKeepClear: g_value_set_double(value, run.keepClear); return true;
        case kPropertySubtitles:
            g_value_set_string(value, run.subtitles.empty() ? nullptr : run.subtitles.c_str());
            return true;
        case kPropertyLead: g_value_set_double(value, run.leadSeconds); return true;
        default: break;
    }
    if (id < kPropertyFirstSetting || id >= kPropertyFirstSetting + kSettingCount) return false;
    const guint index = id - kPropertyFirstSetting;
    if (!run.values[index]) {
        g_param_value_set_default(spec, value);
        // Without a store, no spaced order: the row's own default.
        const SettingDescriptor& row = settingsTable[index];
        if (&row == &RowOf("RulesType") && run.progressStore.empty()) g_value_set_enum(value, gint(row.freshDefault));
        return true;
    }
    const SettingDescriptor& row = settingsTable[index];
    const SettingValue& setting = *run.values[index];
    switch (row.kind) {
        case SettingKind::kText: g_value_set_string(value, setting.text.c_str()); break;
        case SettingKind::kFlag: g_value_set_boolean(value, setting.number != 0); break;
        case SettingKind::kColour: g_value_set_uint(value, SwapRedBlue(uint32_t(setting.number))); break;
        case SettingKind::kChoice: g_value_set_enum(value, gint(setting.number)); break;
        case SettingKind::kNumber:
            if (IsUnsigned(row.typeCode))
                g_value_set_uint(value, guint(setting.number));
            else
                g_value_set_int(value, gint(setting.number));
            break;
    }
    return true;
}
