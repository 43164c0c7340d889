#include "gst/caption_engine.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <mutex>

#include "plugin/plugin_instance.h"
#include "plugin/posix/embedded_dictionary.h"
#include "render/freetype_caption_renderer.h"
#include "settings/settings_location.h"
#include "settings/settings_persistence.h"
#include "settings/typed_value.h"

namespace {

// Creates the folders above a file, as mkdir -p does.
void CreateFoldersAbove(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
        ::mkdir(path.substr(0, slash).c_str(), 0755);
}

// The reason a file cannot be read; empty when it can.
std::string WhyUnreadable(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return file.is_open() ? std::string() : std::strerror(errno);
}

bool SameValue(const SettingDescriptor& row, SettingsRecord& a, SettingsRecord& b) {
    return FormatTypedValue(row.typeCode, row.storage(a)) == FormatTypedValue(row.typeCode, row.storage(b));
}

bool IsFontRow(const SettingDescriptor& row) { return std::strncmp(row.key, "Font", 4) == 0; }

// A word list in use that left lines out says so: the viewer sees no
// caption for them and would not know why.
void TellSkippedLines(PluginInstance& plugin, std::vector<std::string>& warnings) {
    const SettingsRecord& working = plugin.settings.workingSettings;
    if (working.DicType != 1 || working.DicFileName.empty()) return;
    const std::string message = SkippedLinesMessage(plugin.dictionaries.LastAltDictionaryLoad());
    if (!message.empty()) warnings.push_back("Word list \"" + working.DicFileName + "\": " + message + ".");
}

}  // namespace

std::string DefaultSettingsFile() {
    platform::LocationFacts facts = platform::GatherLocationFacts();
    facts.storeInUsersFolder = true;
    const std::string folder = SettingsFolder(facts, std::string());
    return folder.empty() ? std::string() : folder + "TPP_25Frame.ini";
}

struct CaptionEngine::Instance {
    explicit Instance(const std::string& settingsFile)
        : plugin(InstanceParts{std::make_unique<FreeTypeCaptionRenderer>(), SharedBuiltinDictionary, settingsFile,
                               std::string(), nullptr}) {}

    // Puts the properties that differ from those last applied over the
    // working settings (so a later change does not put an index back), and
    // checks the word list; tells whether the font or the list changed.
    void PutOver(const RunSettings& run, std::vector<std::string>& warnings, bool& fontChanged, bool& listChanged);

    PluginInstance plugin;
    SettingsRecord fromFile;  // what the file held: saved again but for the walk
    RunSettings applied;      // the properties as last put over the settings
};

void CaptionEngine::Instance::PutOver(const RunSettings& run, std::vector<std::string>& warnings,
                                      bool& fontChanged, bool& listChanged) {
    SettingsRecord& working = plugin.settings.workingSettings;
    RunSettings wanted = run;
    for (int i = 0; i < kSettingCount; ++i) {
        const SettingDescriptor& row = settingsTable[i];
        if (!wanted.set[i] || (applied.set[i] && SameValue(row, wanted.values, applied.values))) continue;
        ParseTypedValue(row.typeCode, FormatTypedValue(row.typeCode, row.storage(wanted.values)), row.storage(working));
        fontChanged = fontChanged || IsFontRow(row);
        listChanged = listChanged || std::strcmp(row.key, "DicType") == 0 || std::strcmp(row.key, "DicFileName") == 0;
    }
    if (!run.dictionary.empty() && run.dictionary != applied.dictionary) {
        working.DicFileName = run.dictionary;
        working.DicType = 1;
        listChanged = true;
    }
    applied = run;
    // A word list that cannot be read is not created, as the host's plug-in
    // would; chosen, it leaves the built-in dictionary with a warning.
    if (listChanged && !working.DicFileName.empty()) {
        if (const std::string why = WhyUnreadable(working.DicFileName); !why.empty()) {
            if (working.DicType == 1)
                warnings.push_back("Word list \"" + working.DicFileName + "\" cannot be read (" + why +
                                   "): the built-in dictionary is used instead.");
            working.DicType = working.DicType == 1 ? 0 : working.DicType;
            working.DicFileName.clear();
        }
    }
}

CaptionEngine::CaptionEngine(const RunSettings& run, std::vector<std::string>& warnings)
    : instance_(std::make_unique<Instance>(run.settingsFile)) {
    PluginInstance& plugin = instance_->plugin;
    if (!run.settingsFile.empty() && run.settingsFile == DefaultSettingsFile()) CreateFoldersAbove(run.settingsFile);
    plugin.ReadSettingsFile();
    if (!run.settingsFile.empty())
        if (const std::string why = WhyUnreadable(run.settingsFile); !why.empty())
            warnings.push_back("Settings file \"" + run.settingsFile + "\" cannot be opened (" + why +
                               "): the settings not given as properties are at their defaults, and nothing is "
                               "saved.");
    instance_->fromFile = plugin.settings.workingSettings;
    bool fontChanged = false, listChanged = true;
    instance_->PutOver(run, warnings, fontChanged, listChanged);
    plugin.StartParts();
    TellSkippedLines(plugin, warnings);
}

CaptionEngine::~CaptionEngine() = default;

void CaptionEngine::Apply(const RunSettings& run, std::vector<std::string>& warnings) {
    PluginInstance& plugin = instance_->plugin;
    bool fontChanged = false, listChanged = false;
    {
        // The frames are this thread's; the dictionary's lock guards the indexes.
        const std::lock_guard<std::mutex> lock(plugin.dictionaries.captionLock);
        instance_->PutOver(run, warnings, fontChanged, listChanged);
    }
    SettingsRecord& working = plugin.settings.workingSettings;
    if (fontChanged) plugin.overlay.CreateCaptionFont();
    if (listChanged) {
        plugin.dictionaries.LoadAltDictionary(working.DicFileName, working.CurExtEntry);
        TellSkippedLines(plugin, warnings);
    }
}

bool CaptionEngine::StartStream(FrameFormat format, int32_t width, int32_t height) {
    return instance_->plugin.StreamStart({width, height, format}) == 1;
}

bool CaptionEngine::NextFrameMayDraw() const { return instance_->plugin.overlay.NextFrameMayDraw(); }

void CaptionEngine::PassFrame() { instance_->plugin.overlay.PassFrame(); }

void CaptionEngine::ProcessFrame(const FrameView& frame) { instance_->plugin.ProcessFrame(frame); }

void CaptionEngine::Stop() {
    PluginInstance& plugin = instance_->plugin;
    plugin.StreamStop();
    SettingsRecord& working = plugin.settings.workingSettings;
    SettingsRecord saved = instance_->fromFile;
    saved.CurIntEntry = working.CurIntEntry;
    if (working.DicFileName == saved.DicFileName) saved.CurExtEntry = working.CurExtEntry;
    working = saved;
    SaveSettings(plugin.settings);
}
