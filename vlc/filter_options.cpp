#include "vlc/filter_options.h"

#include <vlc_configuration.h>
#include <vlc_variables.h>

#include <cstdlib>
#include <cstring>

#include "learner/store_path.h"
#include "vlc/timing_options.h"

namespace {

constexpr char kPrefix[] = "tpp25frame-";
constexpr char kSettingsFile[] = "settings-file";
constexpr char kDictionary[] = "dictionary";
constexpr char kProgressDb[] = "progress-db";
constexpr char kKeys[] = "keys";
// VLC's own hotkeys take every letter but q, u and y, and a key reaches
// them whatever a filter does with it; the filter's keys are ones VLC
// leaves free ("y" known, "u" unsure: again).
constexpr char kVlcFreeKeys[] = "known=y,again=u,next=period,repeat=comma,captions=semicolon,help=question";

std::string FullName(const std::string& option) { return kPrefix + option; }

// What the preferences show beside the box: the key of the settings file,
// what the number counts in, and a number's range (VLC is not told it:
// see DeclareFilterOptions).
std::string LabelOf(const SettingDescriptor& row) {
    std::string label = row.key;
    std::string notes = row.unit;
    if (row.kind == SettingKind::kNumber)
        notes += (notes.empty() ? "" : ", ") + std::to_string(row.range.minimum) + ".." +
                 std::to_string(row.range.maximum);
    return notes.empty() ? label : label + " (" + notes + ")";
}

// The option's value as VLC's configuration knows it: a colour as
// 0xRRGGBB, a choice or a number as itself.
int64_t ShownDefault(const SettingDescriptor& row) {
    return row.kind == SettingKind::kColour ? int64_t{SwapRedBlue(uint32_t(row.freshDefault))} : row.freshDefault;
}

std::string TextOf(char* text) {
    std::string copy = text ? text : "";
    free(text);
    return copy;
}

// VLC keeps an option set on the command line or as an input's option in a
// variable of an object above the filter; one set in the preferences
// differs from its default.
bool Given(filter_t* filter, const std::string& option) {
    for (const config_chain_t* item = filter->p_cfg; item; item = item->p_next)
        if (item->psz_name && option == item->psz_name) return true;
    const std::string name = FullName(option);
    for (vlc_object_t* object = filter->obj.parent; object; object = object->obj.parent)
        if (var_Type(object, name.c_str()) != 0) return true;
    const module_config_t* item = config_FindConfig(name.c_str());
    if (!item) return false;
    if (config_GetType(name.c_str()) == VLC_VAR_STRING)
        return TextOf(config_GetPsz(filter, name.c_str())) != (item->orig.psz ? item->orig.psz : "");
    return config_GetInt(filter, name.c_str()) != item->orig.i;
}

// The filter's fourth order after the row's three (caption_engine.h).
bool IsOrder(const SettingDescriptor& row) { return &row == &RowOf("RulesType"); }
constexpr const char* kSpacedText = "spaced: by the learner's progress (the default with a progress store)";

SettingValue ValueOf(filter_t* filter, const SettingDescriptor& row, const std::string& name,
                     std::vector<std::string>& warnings) {
    SettingValue value;
    switch (row.kind) {
        case SettingKind::kText: value.text = TextOf(var_InheritString(filter, name.c_str())); break;
        case SettingKind::kFlag: value.number = var_InheritBool(filter, name.c_str()) ? 1 : 0; break;
        case SettingKind::kColour:
            value.number = SwapRedBlue(uint32_t(var_InheritInteger(filter, name.c_str())) & 0xFFFFFF);
            break;
        case SettingKind::kChoice:
        case SettingKind::kNumber:
            value.number = var_InheritInteger(filter, name.c_str());
            if (IsOrder(row) && value.number == kOrderSpaced) break;
            if (value.number != row.range.Clamp(value.number)) {
                warnings.push_back(name + "=" + std::to_string(value.number) + " is outside " +
                                   std::to_string(row.range.minimum) + ".." + std::to_string(row.range.maximum) + ": " +
                                   std::to_string(row.range.Clamp(value.number)) + " is used.");
                value.number = row.range.Clamp(value.number);
            }
            break;
    }
    return value;
}

const KeyMap& VlcKeyMap() {
    static const KeyMap map = [] {
        std::string why;
        return *KeyMap::Parse(kVlcFreeKeys, why);
    }();
    return map;
}

// What the descriptor hands VLC, made once for the life of the module:
// VLC keeps the pointers, not copies.
struct OptionTexts {
    std::string names[kSettingCount], labels[kSettingCount];
    std::vector<int> choiceValues[kSettingCount];
    std::vector<const char*> choiceTexts[kSettingCount];
    std::string keys = VlcKeyMap().Text();
};

const OptionTexts& Texts() {
    static const OptionTexts texts = [] {
        OptionTexts made;
        for (int i = 0; i < kSettingCount; ++i) {
            made.names[i] = FullName(OptionNameOf(settingsTable[i]));
            made.labels[i] = LabelOf(settingsTable[i]);
            for (const NamedValue& choice : settingsTable[i].choices) {
                made.choiceValues[i].push_back(choice.value);
                made.choiceTexts[i].push_back(choice.description);
            }
            if (IsOrder(settingsTable[i])) {
                made.choiceValues[i].push_back(kOrderSpaced);
                made.choiceTexts[i].push_back(kSpacedText);
            }
        }
        return made;
    }();
    return texts;
}

}  // namespace

void DeclareFilterOptions(vlc_set_cb vlc_set, void* opaque) {
    const OptionTexts& texts = Texts();
    DeclareTimingOptions(vlc_set, opaque);
    module_config_t* config = nullptr;
    add_loadfile("tpp25frame-settings-file", "", "Settings file",
                 "Settings read at start, under the options set; the walk through the dictionary is saved there at "
                 "stop. Empty: the user's own, which the GStreamer element shares; none: no file.",
                 false);
    add_loadfile("tpp25frame-dictionary", "", "Word list",
                 "Word list to take the captions from instead of the settings' choice (a missing one leaves the "
                 "built-in dictionary, with a warning).",
                 false);
    add_loadfile("tpp25frame-progress-db", "", "Progress store",
                 "The learner's progress store (SQLite), where every caption shown and every mark is recorded. "
                 "Empty: the user's own, which the GStreamer element shares; none: no store.",
                 false);
    add_string("tpp25frame-keys", texts.keys.c_str(), "Keys",
               "The keys of the video window, action=key separated by commas (action=none: no key); a text that "
               "cannot be read leaves these, with a warning; an action not named keeps its key here. VLC's "
               "hotkeys hear every key too, and take every letter but q, u and y.",
               false);
    for (int i = 0; i < kSettingCount; ++i) {
        const SettingDescriptor& row = settingsTable[i];
        const char *name = texts.names[i].c_str(), *label = texts.labels[i].c_str();
        switch (row.kind) {
            case SettingKind::kText:
                // The macros are several statements each.
                if (std::strcmp(row.unit, "path") == 0) {
                    add_loadfile(name, row.defaultText, label, row.description, false);
                } else {
                    add_string(name, row.defaultText, label, row.description, false);
                }
                break;
            case SettingKind::kFlag: add_bool(name, row.freshDefault != 0, label, row.description, false); break;
            case SettingKind::kColour: add_rgb(name, ShownDefault(row), label, row.description, false); break;
            case SettingKind::kChoice:
                // A fresh filter has a progress store, and so the spaced order.
                add_integer(name, IsOrder(row) ? kOrderSpaced : row.freshDefault, label, row.description, false);
                vlc_config_set(VLC_CONFIG_LIST, texts.choiceValues[i].size(), texts.choiceValues[i].data(),
                               texts.choiceTexts[i].data());
                break;
            case SettingKind::kNumber:
                // Without the range: VLC would take a number outside it to
                // its end silently, before the filter could say so.
                add_integer(name, row.freshDefault, label, row.description, false);
                break;
        }
    }
}

FilterOptions ReadFilterOptions(filter_t* filter, std::vector<std::string>& warnings) {
    // Those that go over the settings file, and whether each was given.
    std::vector<std::string> options = {kSettingsFile, kDictionary};
    for (const SettingDescriptor& row : settingsTable) options.push_back(OptionNameOf(row));
    std::vector<bool> given;
    for (const std::string& option : options) given.push_back(Given(filter, option));
    std::vector<const char*> names = {kProgressDb, kKeys};
    names.insert(names.end(), std::begin(kTimingOptions), std::end(kTimingOptions));
    for (const std::string& option : options) names.push_back(option.c_str());
    names.push_back(nullptr);
    config_ChainParse(filter, kPrefix, names.data(), filter->p_cfg);

    FilterOptions read;
    RunSettings& run = read.run;
    run.settingsFile = given[0] ? TextOf(var_InheritString(filter, FullName(kSettingsFile).c_str())) : "";
    if (run.settingsFile.empty())
        run.settingsFile = DefaultSettingsFile();
    else if (run.settingsFile == "none")
        run.settingsFile.clear();
    if (given[1]) run.dictionary = TextOf(var_InheritString(filter, FullName(kDictionary).c_str()));
    run.progressStore = TextOf(var_InheritString(filter, FullName(kProgressDb).c_str()));
    if (run.progressStore.empty())
        run.progressStore = learner::DefaultStorePath();
    else if (run.progressStore == "none")
        run.progressStore.clear();
    const std::string keys = TextOf(var_InheritString(filter, FullName(kKeys).c_str()));
    std::string why;
    std::optional<KeyMap> map = KeyMap::Parse(keys, why, VlcKeyMap());
    read.keys = map ? std::move(*map) : VlcKeyMap();
    if (!map)
        warnings.push_back(FullName(kKeys) + "=\"" + keys + "\" is refused: " + why + "; the default keys are used.");
    ReadTimingOptions(filter, run, warnings);
    for (int i = 0; i < kSettingCount; ++i) {
        if (!given[i + 2]) continue;
        run.values[i] = ValueOf(filter, settingsTable[i], FullName(options[i + 2]), warnings);
        run.pending.set(i);
    }
    return read;
}
