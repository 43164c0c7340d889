#include "frontend/caption_engine.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>

#include "dictionary/entry_separator.h"
#include "frontend/film_link.h"
#include "frontend/learner_link.h"
#include "frontend/stream_clock.h"
#include "learner/store_path.h"
#include "learner/word_key.h"
#include "platform/file.h"
#include "plugin/embedded_dictionary.h"
#include "plugin/plugin_instance.h"
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
    Instance(const RunSettings& run, std::string& storeError)
        : plugin(InstanceParts{std::make_unique<FreeTypeCaptionRenderer>(), SharedBuiltinDictionary, run.settingsFile,
                               std::string(), nullptr, Defaults::kFresh}),
          learner(run.progressStore, storeError) {}

    PluginInstance plugin;
    LearnerLink learner;
    StreamClock clock;
    std::optional<CaptionTiming> timing;  // as last applied
    double keepClear = -1;
    uint32_t serial = 0;  // of the last caption told
    std::vector<std::string> notices;
    std::unique_ptr<FilmLink> film;
    int64_t filmTime = 0;
};

namespace {

// Whether the properties choose the spaced order: pending ones, or all;
// with none given, a run with a progress store takes it.
std::optional<bool> SpacedOf(const RunSettings& run, bool pendingOnly, bool haveStore) {
    const size_t index = static_cast<size_t>(&RowOf("RulesType") - settingsTable);
    if (!run.values[index]) return pendingOnly ? std::nullopt : std::optional(haveStore);
    if (pendingOnly && !run.pending[index]) return std::nullopt;
    return run.values[index]->number == kOrderSpaced;
}

}  // namespace

CaptionEngine::CaptionEngine(const RunSettings& run, std::vector<std::string>& warnings) {
    std::string storeError;
    instance_ = std::make_unique<Instance>(run, storeError);
    if (!storeError.empty())
        warnings.push_back("Progress store \"" + run.progressStore + "\" cannot be opened (" + storeError +
                           "): nothing of this run is recorded.");
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
    ChooseSpaced(*SpacedOf(run, false, instance_->learner.store() != nullptr));
    ApplyTiming(run);
    const std::vector<std::string> known = RetireKnownWords();
    if (!run.subtitles.empty()) LoadFilm(run, known, warnings);
}

// The film's words are every caption: the dictionaries only translate.
void CaptionEngine::LoadFilm(const RunSettings& run, const std::vector<std::string>& knownKeys,
                             std::vector<std::string>& warnings) {
    Instance& instance = *instance_;
    FilmLink::Sources sources;
    sources.subtitles = run.subtitles;
    const SettingsRecord settings = instance.plugin.Settings();
    if (settings.DicType == kWordList)
        for (const std::string& caption : instance.plugin.dictionaries().Captions(kWordList)) {
            const EntryParts text = SplitEntry(caption);
            if (!text.translation.empty())
                sources.listEntries.emplace_back(std::string(text.word), std::string(text.translation));
        }
    sources.knownKeys = knownKeys;
    const auto nanos = [](double seconds, double low, double high) {
        return static_cast<int64_t>(std::clamp(seconds, low, high) * StreamClock::kSecond);
    };
    sources.lead = nanos(run.leadSeconds, kLeadMin, kLeadMax);
    sources.show = nanos(run.timing.showSeconds, kStudyShowMin, kStudyShowMax);
    sources.every = nanos(run.timing.everySeconds, kStudyEveryMin, kStudyEveryMax);
    std::string why;
    instance.film = FilmLink::Load(sources, why);
    if (!instance.film) {
        warnings.push_back("Subtitles \"" + run.subtitles + "\" cannot be read (" + why +
                           "): the captions come from the dictionary.");
        return;
    }
    instance.plugin.viewerRequests().SetEntryProvider([this]() {
        Instance& instance = *instance_;
        return instance.film->Due(instance.filmTime, instance.timing && instance.timing->study);
    });
}

// A word known in any list never comes again, in any order: the spaced
// order knows it from the store; the others are told here.
std::vector<std::string> CaptionEngine::RetireKnownWords() {
    std::string error;
    std::vector<std::string> known = instance_->learner.KnownWords(error);
    if (!error.empty()) instance_->notices.push_back("Progress store: the known words cannot be read (" + error + ")");
    RetireWords(known);
    return known;
}

void CaptionEngine::RetireWords(const std::vector<std::string>& sortedKeys) {
    if (sortedKeys.empty()) return;
    PluginInstance& plugin = instance_->plugin;
    const SettingsRecord settings = plugin.Settings();
    const auto source = static_cast<WordSource>(settings.DicType);
    const std::string listName = source == kWordList ? settings.DicFileName : std::string();
    const std::vector<std::string> captions = plugin.dictionaries().Captions(source);
    for (size_t i = 0; i < captions.size(); ++i)
        if (std::binary_search(sortedKeys.begin(), sortedKeys.end(), learner::WordKey(SplitEntry(captions[i]).word)))
            plugin.viewerRequests().Retire(listName, static_cast<int32_t>(i));
}

void CaptionEngine::ApplyTiming(const RunSettings& run) {
    Instance& instance = *instance_;
    OverlayEngine& overlay = instance.plugin.viewerRequests();
    if (instance.timing != run.timing) {
        instance.timing = run.timing;
        const CaptionTiming& timing = run.timing;
        const auto nanos = [](double seconds, double low, double high) {
            return static_cast<int64_t>(std::clamp(seconds, low, high) * StreamClock::kSecond);
        };
        overlay.SetStudyTiming(
            timing.study ? std::optional(StudyTiming{nanos(timing.showSeconds, kStudyShowMin, kStudyShowMax),
                                                     nanos(timing.everySeconds, kStudyEveryMin, kStudyEveryMax)})
                         : std::nullopt);
    }
    if (instance.keepClear != run.keepClear) {
        instance.keepClear = run.keepClear;
        overlay.SetKeepClear(run.keepClear);
    }
}

// The spaced order chooses each caption from the list in use, which it
// registers in the store when it first meets it.
void CaptionEngine::ChooseSpaced(bool spaced) {
    OverlayEngine& overlay = instance_->plugin.viewerRequests();
    if (!spaced) {
        overlay.SetEntryChooser(nullptr);
        return;
    }
    overlay.SetEntryChooser([this](WordSource source) {
        Instance& instance = *instance_;
        const SettingsRecord settings = instance.plugin.Settings();
        const std::string list = source == kWordList ? learner::ListPathName(settings.DicFileName)
                                                     : std::string(learner::kBuiltinList);
        std::string error;
        const std::optional<int32_t> next = instance.learner.Next(
            list,
            [&] {
                DictionaryStore& dictionaries = instance.plugin.dictionaries();
                return LearnerLink::ListEntries{dictionaries.Captions(source), dictionaries.FileRanks(source)};
            },
            error);
        if (!error.empty())
            instance.notices.push_back("Progress store: the list \"" + list + "\" cannot be registered (" + error +
                                       "): the spaced order goes on without its history");
        return next;
    });
}

CaptionEngine::~CaptionEngine() = default;

void CaptionEngine::Apply(const RunSettings& run, std::vector<std::string>& warnings) {
    PluginInstance& plugin = instance_->plugin;
    const SettingsRecord before = plugin.Settings();
    std::vector<SettingChange> changes = ChangesOf(run, true);
    CheckWordList(before, false, changes, warnings);
    ResumeWalk(plugin, run, true, changes);
    plugin.ApplySettings(changes);
    if (const std::optional<bool> spaced = SpacedOf(run, true, instance_->learner.store() != nullptr))
        ChooseSpaced(*spaced);
    ApplyTiming(run);
    const SettingsRecord after = plugin.Settings();
    if (after.DicType != before.DicType || after.DicFileName != before.DicFileName) {
        TellSkippedLines(plugin, warnings);
        RetireKnownWords();
    }
}

bool CaptionEngine::StartStream(std::optional<FrameFormat> format, int32_t width, int32_t height) {
    return instance_->plugin.StreamStart({width, height, format}) == 1;
}

void CaptionEngine::SetFrameTime(std::optional<int64_t> nanos) {
    instance_->plugin.viewerRequests().SetStreamTime(instance_->clock.Frame(nanos));
}

void CaptionEngine::SetFilmTime(std::optional<int64_t> nanos) {
    if (nanos) instance_->filmTime = *nanos;
}

void CaptionEngine::SetFramesPerSecond(double frames) {
    if (!(frames > 0)) frames = 25;  // a stream of no fixed rate
    instance_->clock.SetFrameDuration(static_cast<int64_t>(StreamClock::kSecond / frames));
    instance_->plugin.viewerRequests().SetFramesPerSecond(static_cast<uint32_t>(std::ceil(frames)));
}

int64_t CaptionEngine::streamTime() const { return instance_->clock.now(); }

int64_t CaptionEngine::frameDuration() const { return instance_->clock.frameDuration(); }

std::optional<uint32_t> CaptionEngine::EntryOnScreen() const {
    return instance_->plugin.viewerRequests().entryOnScreen();
}

bool CaptionEngine::NextFrameMayDraw() const { return instance_->plugin.NextFrameMayDraw(); }

void CaptionEngine::PassFrame() { instance_->plugin.PassFrame(); }

std::optional<CaptionShown> CaptionEngine::ProcessFrame(const FrameView& frame) {
    Instance& instance = *instance_;
    instance.plugin.ProcessFrame(frame);
    const ShownEntry& entry = instance.plugin.viewerRequests().lastShown();
    if (entry.serial == instance.serial) return std::nullopt;
    instance.serial = entry.serial;
    if (entry.provided && instance.film) {
        const FilmLink::Cue& cue = instance.film->cue(entry.index);
        CaptionShown shown{entry.serial,  entry.index, cue.word, cue.translation,  instance.film->list(),
                           std::string(), false,       cue.line, instance.filmTime};
        instance.learner.Shown({shown.list, shown.word, shown.translation, shown.context}, -1);
        return shown;
    }
    const EntryParts text = SplitEntry(entry.text);
    CaptionShown shown{entry.serial,
                       entry.index,
                       std::string(text.word),
                       std::string(text.translation),
                       std::string(learner::kBuiltinList),
                       entry.list,
                       entry.repeated};
    if (entry.source == kWordList) shown.list = learner::ListPathName(entry.list);
    if (!shown.repeated) instance.learner.Shown({shown.list, shown.word, shown.translation}, shown.index);
    return shown;
}

const std::optional<ShownCaption>& CaptionEngine::FrameCaption() const {
    return instance_->plugin.viewerRequests().frameCaption();
}

void CaptionEngine::Take(const KeyRequests& requests) {
    OverlayEngine& overlay = instance_->plugin.viewerRequests();
    for (const CaptionMark& marked : requests.marks) {
        const CaptionShown& entry = marked.caption;
        const bool film = instance_->film && entry.list == instance_->film->list();
        if (marked.mark == learner::Mark::kKnown) {
            if (film)
                instance_->film->Retire(learner::WordKey(entry.word));
            else
                overlay.Retire(entry.listName, entry.index);
            RetireWords({learner::WordKey(entry.word)});
        }
        if (!film) instance_->learner.Marked(entry.list, entry.index, marked.mark);
    }
    if (requests.toggleCaptions) overlay.SetCaptionsOff(!overlay.captionsOff());
    if (requests.next) overlay.ShowNextNow();
    if (requests.repeatMillis) overlay.ShowAgain(requests.repeatMillis);
    if (!requests.note.empty()) overlay.ShowNote(requests.note, requests.noteMillis, requests.noteAtLastPlace);
}

std::shared_ptr<learner::ProgressStore> CaptionEngine::progressStore() const { return instance_->learner.store(); }

void CaptionEngine::Stop() {
    PluginInstance& plugin = instance_->plugin;
    plugin.StreamStop();
    plugin.SaveWalkPosition();
    if (std::string notice = instance_->learner.Close(); !notice.empty())
        instance_->notices.push_back(std::move(notice));
}

std::string CaptionEngine::TakeFault() { return instance_->plugin.TakeLastError(); }

std::vector<std::string> CaptionEngine::TakeNotices() {
    std::vector<std::string> notices = instance_->plugin.TakeNotices();
    for (std::string& notice : std::exchange(instance_->notices, {})) notices.push_back(std::move(notice));
    return notices;
}
