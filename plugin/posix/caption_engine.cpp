#include "plugin/posix/caption_engine.h"

#include <sys/stat.h>

#include "platform/file.h"
#include "plugin/plugin_instance.h"
#include "plugin/posix/embedded_dictionary.h"
#include "render/freetype_caption_renderer.h"
#include "settings/settings_location.h"

namespace {

// Creates the folders above a file, as mkdir -p does.
void CreateFoldersAbove(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
        ::mkdir(path.substr(0, slash).c_str(), 0755);
}

// The reason a file cannot be read ("it is a folder", ...); empty when it
// can.
std::string WhyUnreadable(const std::string& path) { return platform::CanRead(path).why; }

// A word list in use that left lines out, or whose text was a guess or did
// not read cleanly, says so: the viewer would not know why a caption is
// missing or garbled.
void TellSkippedLines(PluginInstance& plugin, std::vector<std::string>& warnings) {
    const SettingsRecord working = plugin.Settings();
    if (working.DicType != kWordList || working.DicFileName.empty()) return;
    const std::string message = WordListMessage(plugin.LastWordListLoad());
    if (!message.empty()) warnings.push_back("Word list \"" + working.DicFileName + "\": " + message + ".");
}

// The properties as changes of the working settings: those pending, or
// all that are set; the dictionary property chooses its word list.
std::vector<SettingChange> ChangesOf(const RunSettings& run, bool pendingOnly) {
    std::vector<SettingChange> changes;
    for (int i = 0; i < kSettingCount; ++i)
        if (run.values[i] && (!pendingOnly || run.pending[i])) changes.push_back({&settingsTable[i], *run.values[i]});
    if (!run.dictionary.empty() && (!pendingOnly || run.dictionaryPending)) {
        changes.push_back({&RowOf("DicFileName"), {0, run.dictionary}});
        changes.push_back({&RowOf("DicType"), {kWordList, {}}});
    }
    return changes;
}

// A word list that cannot be read is not created, as the host's plug-in
// would; chosen, it leaves the built-in dictionary, with a warning. The
// list checked is the one the changes leave the settings with, when they
// change it (or always, checking: the file's own choice at start).
void CheckWordList(const SettingsRecord& now, bool always, std::vector<SettingChange>& changes,
                   std::vector<std::string>& warnings) {
    SettingsRecord after = now;
    for (const SettingChange& change : changes) StoreValue(*change.row, change.value, after);
    const bool changed = after.DicType != now.DicType || after.DicFileName != now.DicFileName;
    if (!(changed || always) || after.DicFileName.empty()) return;
    const std::string why = WhyUnreadable(after.DicFileName);
    if (why.empty()) return;
    if (after.DicType == kWordList) {
        warnings.push_back("Word list \"" + after.DicFileName + "\" cannot be read (" + why +
                           "): the built-in dictionary is used instead.");
        changes.push_back({&RowOf("DicType"), {kBuiltinWords, {}}});
    }
    changes.push_back({&RowOf("DicFileName"), {}});
}

// A word list given as a property goes on where its last run left it,
// unless the index is given too.
void ResumeWalk(PluginInstance& plugin, const RunSettings& run, bool pendingOnly, std::vector<SettingChange>& changes) {
    const size_t index = static_cast<size_t>(&RowOf("CurExtEntry") - settingsTable);
    if (run.dictionary.empty() || (pendingOnly && !run.dictionaryPending)) return;
    if (run.values[index] && (!pendingOnly || run.pending[index])) return;
    SettingsRecord after = plugin.Settings();
    for (const SettingChange& change : changes) StoreValue(*change.row, change.value, after);
    if (after.DicType == kWordList && after.DicFileName == run.dictionary)
        changes.push_back({&RowOf("CurExtEntry"), {plugin.WordListWalk(run.dictionary), {}}});
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
                               std::string(), nullptr, Defaults::kFresh}) {}

    PluginInstance plugin;
};

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
    std::vector<SettingChange> changes = ChangesOf(run, false);
    CheckWordList(plugin.Settings(), true, changes, warnings);
    ResumeWalk(plugin, run, false, changes);
    // The dictionaries are read next, once: the values go in as they are.
    plugin.ChangeSettings([&](SettingsRecord& working) {
        for (const SettingChange& change : changes) StoreValue(*change.row, change.value, working);
    });
    plugin.StartParts();
    TellSkippedLines(plugin, warnings);
}

CaptionEngine::~CaptionEngine() = default;

void CaptionEngine::Apply(const RunSettings& run, std::vector<std::string>& warnings) {
    PluginInstance& plugin = instance_->plugin;
    const SettingsRecord before = plugin.Settings();
    std::vector<SettingChange> changes = ChangesOf(run, true);
    CheckWordList(before, false, changes, warnings);
    ResumeWalk(plugin, run, true, changes);
    plugin.ApplySettings(changes);
    const SettingsRecord after = plugin.Settings();
    if (after.DicType != before.DicType || after.DicFileName != before.DicFileName) TellSkippedLines(plugin, warnings);
}

bool CaptionEngine::StartStream(FrameFormat format, int32_t width, int32_t height) {
    return instance_->plugin.StreamStart({width, height, format}) == 1;
}

bool CaptionEngine::NextFrameMayDraw() const { return instance_->plugin.NextFrameMayDraw(); }

void CaptionEngine::PassFrame() { instance_->plugin.PassFrame(); }

void CaptionEngine::ProcessFrame(const FrameView& frame) { instance_->plugin.ProcessFrame(frame); }

void CaptionEngine::Stop() {
    PluginInstance& plugin = instance_->plugin;
    plugin.StreamStop();
    plugin.SaveWalkPosition();
}

std::string CaptionEngine::TakeFault() { return instance_->plugin.TakeLastError(); }

std::vector<std::string> CaptionEngine::TakeNotices() { return instance_->plugin.TakeNotices(); }
