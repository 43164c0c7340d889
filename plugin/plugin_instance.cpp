#include "plugin/plugin_instance.h"

#include <exception>
#include <utility>

#include "platform/file.h"
#include "platform/trace.h"
#include "settings/settings_persistence.h"

namespace {

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

}  // namespace

// Runs one callback body; an exception ends the callback with the fallback
// result instead of unwinding into the host, and leaves its trace.
template <class Body, class Result>
Result PluginInstance::Guarded(const char* callback, Body body, Result fallback) noexcept {
    try {
        return body();
    } catch (const std::exception& error) {
        NoteFault(callback, error.what());
    } catch (...) {
        NoteFault(callback, "an exception of unknown type");
    }
    return fallback;
}

template <class Body>
void PluginInstance::Guarded(const char* callback, Body body) noexcept {
    Guarded(
        callback,
        [&] {
            body();
            return 0;
        },
        0);
}

void PluginInstance::NoteFault(const char* callback, const char* what) noexcept {
    try {
        std::string text = std::string(callback) + ": " + what;
        platform::Trace("TPP_25Frame: " + text);
        const std::lock_guard<std::mutex> lock(faultLock_);
        lastError_ = std::move(text);
    } catch (...) {
        // No memory even for the message: the fallback result still says it.
    }
}

std::string PluginInstance::LastError() const {
    const std::lock_guard<std::mutex> lock(faultLock_);
    return lastError_;
}

std::string PluginInstance::TakeLastError() {
    const std::lock_guard<std::mutex> lock(faultLock_);
    return std::exchange(lastError_, std::string());
}

void PluginInstance::NoteNotice(const std::string& text) {
    platform::Trace("TPP_25Frame: " + text);
    const std::lock_guard<std::mutex> lock(faultLock_);
    notices_.push_back(text);
}

std::vector<std::string> PluginInstance::TakeNotices() {
    const std::lock_guard<std::mutex> lock(faultLock_);
    return std::exchange(notices_, {});
}

PluginInstance::PluginInstance(InstanceParts parts)
    : overlay_(settings_.workingSettings, dictionaries_, std::move(parts.renderer)),
      ui_(MakeSettingsUi({settings_, dictionaries_, overlay_, parts.resourceModule})),
      builtinSource_(std::move(parts.builtinDictionary)),
      settingsPath_(std::move(parts.settingsPath)),
      settingsBaseName_(std::move(parts.settingsBaseName)),
      defaults_(parts.defaults) {
    overlay_.SetNoticeHandler([this](const std::string& text) { NoteNotice(text); });
}

void PluginInstance::Init() noexcept {
    ReadSettingsFile();
    // A front end says this its own way; a host's plug-in has the trace.
    Guarded("Init", [this] {
        const std::string& path = settings_.settingsFile.path();
        if (!settingsRead_ && !path.empty())
            NoteNotice("Settings file " + Quoted(path) + " cannot be read (" + settingsUnread_ +
                       "): the settings are at their defaults, and nothing is saved");
        // A hand edit that did not take looks like one that did.
        for (const UnreadLine& line : settings_.unreadLines)
            NoteNotice("Settings file " + Quoted(path) + ", section [" + line.section + "]: the line " +
                       Quoted(line.text) + " sets nothing (no \"=\", or no such key); it is kept as it is");
    });
    StartParts();
}

void PluginInstance::ReadSettingsFile() noexcept {
    Guarded("Init", [this] {
        CSettingsFile& file = settings_.settingsFile;
        if (!settingsPath_.empty())
            file.UsePath(settingsPath_);
        else if (!settingsBaseName_.empty())
            file.Locate(settingsBaseName_);
        const platform::FileOutcome read = LoadSettings(settings_, defaults_);
        settingsRead_ = read.done;
        settingsUnread_ = read.why;
        walks_.clear();
        walked_.clear();
        for (const WordListPosition& list : settings_.wordListPositions) walks_.emplace(list.path, list.index);
    });
}

void PluginInstance::StartParts() noexcept {
    Guarded("Init", [this] {
        overlay_.CreateRenderContext();
        const int32_t from = Settings().CurIntEntry;
        const int32_t kept = dictionaries_.LoadBuiltinDictionary(builtinSource_ ? builtinSource_() : nullptr, from);
        ChangeSettings([&](SettingsRecord& working) { working.CurIntEntry = kept; });
        ReloadWordList();
    });
}

void PluginInstance::ReloadWordList() {
    const SettingsRecord now = Settings();
    const int32_t kept = dictionaries_.LoadAltDictionary(now.DicFileName, now.CurExtEntry);
    ChangeSettings([&](SettingsRecord& working) { working.CurExtEntry = kept; });
    // The captions' source that the user named is not there to see: say so.
    const WordListFileState file = dictionaries_.LastAltDictionaryFile();
    if (file.kind == WordListFileState::kCreatedEmpty)
        NoteNotice("Word list " + Quoted(now.DicFileName) + " did not exist: it was created empty");
    else if (file.kind == WordListFileState::kUnreadable && now.DicType == kWordList)
        NoteNotice("Word list " + Quoted(now.DicFileName) + " cannot be read (" + file.why + "): it gives no captions");
    // What the list held that will not show as its writer meant: a front
    // end tells it its own way (LastWordListLoad), a host's plug-in in the
    // trace.
    if (file.kind == WordListFileState::kRead && now.DicType == kWordList)
        if (const std::string message = WordListMessage(dictionaries_.LastAltDictionaryLoad()); !message.empty())
            platform::Trace("TPP_25Frame: Word list " + Quoted(now.DicFileName) + ": " + message);
}

void PluginInstance::NoteWalk(const SettingsRecord& settings) {
    if (settings.DicType != kWordList || settings.DicFileName.empty()) return;
    const std::string list = platform::AbsolutePath(settings.DicFileName);
    walks_[list] = settings.CurExtEntry;
    walked_.insert(list);
}

int32_t PluginInstance::WordListWalk(const std::string& list) {
    const std::string path = platform::AbsolutePath(list);
    const SettingsRecord& read = settings_.storedSettings;
    if (!walked_.count(path) && !read.DicFileName.empty() && platform::AbsolutePath(read.DicFileName) == path)
        return read.CurExtEntry;
    const auto found = walks_.find(path);
    return found == walks_.end() ? 0 : found->second;
}

int32_t PluginInstance::StreamStart(const VideoFormat& format) noexcept {
    return Guarded(
        "StreamStart", [&] { return overlay_.StreamStart(format); }, int32_t{0});
}

int32_t PluginInstance::ProcessFrame(const FrameView& frame) noexcept {
    return Guarded(
        "ProcessFrame", [&] { return overlay_.ProcessFrame(frame); }, int32_t{0});
}

void PluginInstance::StreamStop() noexcept {
    Guarded("StreamStop", [this] { overlay_.StreamStop(); });
}

void PluginInstance::ShowSettings(void* hostWindow) noexcept {
    Guarded("ShowSettings", [&] {
        if (ui_) ui_->Show(hostWindow);
    });
}

void PluginInstance::Exit() noexcept {
    Guarded("Exit", [this] {
        // The dialog goes first: it stores its position while it is destroyed.
        if (ui_) ui_->Close();
        // A changed dictionary is written before the settings that name it.
        const std::string list = Settings().DicFileName;
        if (dictionaries_.AltDictionaryChanged() && !list.empty())
            if (const platform::FileOutcome saved = dictionaries_.SaveAltDictionary(list); !saved)
                NoteNotice("Word list " + Quoted(list) + " cannot be written (" + saved.why +
                           "): its changes are lost, and the file is as it was");
        // A file that could not be read is not written over: what it holds
        // would be lost.
        if (!settingsRead_) return;
        if (const platform::FileOutcome saved = SaveSettings(settings_); !saved)
            NoteNotice("Settings file " + Quoted(settings_.settingsFile.path()) + " cannot be written (" + saved.why +
                       "): the settings of this run are not saved, and the file is as it was");
    });
}

void PluginInstance::ApplySettings(std::span<const SettingChange> changes) noexcept {
    Guarded("ApplySettings", [&] {
        SettingsRecord before, after;
        ChangeSettings([&](SettingsRecord& working) {
            before = working;
            for (const SettingChange& change : changes) StoreValue(*change.row, change.value, working);
            after = working;
        });
        if (!(CaptionFontFrom(before) == CaptionFontFrom(after))) overlay_.CreateCaptionFont();
        if (before.DicType != after.DicType || before.DicFileName != after.DicFileName) {
            NoteWalk(before);
            ReloadWordList();
        }
    });
}

WordListReport PluginInstance::LastWordListLoad() { return dictionaries_.LastAltDictionaryLoad(); }

void PluginInstance::SaveWalkPosition() noexcept {
    Guarded("SaveWalkPosition", [this] {
        if (!settingsRead_) return;
        const SettingsRecord now = Settings();
        NoteWalk(now);
        WalkPositions walks;
        walks.builtin = now.CurIntEntry;
        const std::string& fileList = settings_.storedSettings.DicFileName;
        const std::string fileListPath = fileList.empty() ? std::string() : platform::AbsolutePath(fileList);
        for (const std::string& list : walked_) {
            walks.lists.push_back({list, walks_[list]});
            if (list == fileListPath) {
                walks.fileListWalked = true;
                walks.fileList = walks_[list];
            }
        }
        if (const platform::FileOutcome saved = SaveWalkPositions(settings_, walks); !saved)
            NoteNotice("Settings file " + Quoted(settings_.settingsFile.path()) + " cannot be written (" + saved.why +
                       "): where the walk stands is not saved, and the file is as it was");
    });
}
