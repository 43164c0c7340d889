// One loaded plug-in: everything it holds, its settings, dictionaries,
// random source, stream, canvas, caption and dialog, and their locks. The
// DLL and the Linux library each make one when they are loaded and bind
// their exports to it; a host of our own may make as many as it likes.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "blend/frame_view.h"
#include "dictionary/builtin_dictionary.h"
#include "dictionary/dictionary_store.h"
#include "overlay/caption_renderer.h"
#include "overlay/overlay_engine.h"
#include "settings/settings_state.h"
#include "settings/settings_table.h"
#include "ui/settings_ui.h"

// The built-in dictionary, asked for at each Init; a process decodes it
// once and hands every instance the same read-only copy. Null: none.
using BuiltinDictionarySource = std::function<std::shared_ptr<const BuiltinDictionary>()>;

struct InstanceParts {
    std::unique_ptr<CaptionRenderer> renderer;
    BuiltinDictionarySource builtinDictionary;
    // The settings file: settingsPath when given, else the file of this
    // base name located at Init beside the host (as the plug-in's own is);
    // with neither, no file (every setting at its default, nothing saved).
    std::string settingsPath;
    std::string settingsBaseName;
    // The module that holds the dialog's template (an HINSTANCE on Windows).
    void* resourceModule = nullptr;
    // The defaults a key missing from the file takes: the table's for a
    // host's plug-in, the fresh ones for a front end without a past.
    Defaults defaults = Defaults::kTable;
};

// One setting's new value, as a front end hands it over.
struct SettingChange {
    const SettingDescriptor* row;
    SettingValue value;
};

class PluginInstance {
public:
    explicit PluginInstance(InstanceParts parts);
    PluginInstance(const PluginInstance&) = delete;
    PluginInstance& operator=(const PluginInstance&) = delete;

    // The bodies of the six callbacks. Each one is a barrier: no exception
    // leaves it, whatever the parts behind it do; what it caught is kept as
    // the last error, and a callback that failed does not report success.
    void Init() noexcept;
    // Init's two steps, for a host that puts values of its own over the
    // file's before the dictionaries load (the GStreamer element): the
    // settings file read into the copies, then the renderer's context and
    // the dictionaries.
    void ReadSettingsFile() noexcept;
    void StartParts() noexcept;
    int32_t StreamStart(const VideoFormat& format) noexcept;
    int32_t ProcessFrame(const FrameView& frame) noexcept;
    void StreamStop() noexcept;
    void ShowSettings(void* hostWindow) noexcept;
    void Exit() noexcept;

    // Most frames fall in the gap between captions: a host asks these before
    // it describes a frame (see OverlayEngine).
    bool CountGapFrame() noexcept { return overlay_.CountGapFrame(); }
    bool NextFrameMayDraw() const noexcept { return overlay_.NextFrameMayDraw(); }
    void PassFrame() noexcept { overlay_.PassFrame(); }
    // The stream as StreamStart took it.
    VideoFormat videoFormat() const { return overlay_.videoFormat(); }
    // A viewer's requests and what the last caption showed, on the frame's
    // thread between frames (see OverlayEngine).
    OverlayEngine& viewerRequests() { return overlay_; }
    // The dictionaries, for a front end that keeps an order of its own.
    DictionaryStore& dictionaries() { return dictionaries_; }

    // A copy of the working settings.
    SettingsRecord Settings() const { return settings_.workingSettings.Get(); }
    // The one way to change them: change(record) runs under their lock.
    template <class Change>
    auto ChangeSettings(Change change) {
        return settings_.workingSettings.Change(change);
    }
    // A front end's values, each stored in its row's field as it stands (no
    // text in between); a font that changed is made anew, and a word list
    // that changed is read anew.
    void ApplySettings(std::span<const SettingChange> changes) noexcept;
    // What the last read of the word list left out.
    WordListReport LastWordListLoad();
    // Where the walk through this word list stands: where this run left
    // it, else where the settings file says it stopped last (the file's
    // CurExtEntry for its own list), else 0.
    int32_t WordListWalk(const std::string& list);
    // Saves where the walks stand now into the settings file as it stands
    // now, and nothing else of the run: the built-in one's, the file's
    // list's (CurExtEntry) when the run walked it, and each list's that
    // the run walked in section "WordListPositions". Keys the file lacks
    // get the values read at the start. For a front end whose other
    // settings are not the file's; nothing is saved when the file could not
    // be read at the start, and a failed save is a notice.
    void SaveWalkPosition() noexcept;

    // The last fault a callback caught, "Callback: what happened"; empty
    // when none. Taking it clears it, so that each is told once.
    std::string LastError() const;
    std::string TakeLastError();
    // What the engine noticed would hide its captions (see
    // OverlayEngine::SetNoticeHandler), each also traced as a fault is;
    // taking them clears them.
    std::vector<std::string> TakeNotices();

private:
    friend class PluginInstanceInternals;  // the tests' view inside

    template <class Body, class Result>
    Result Guarded(const char* callback, Body body, Result fallback) noexcept;
    template <class Body>
    void Guarded(const char* callback, Body body) noexcept;
    void NoteFault(const char* callback, const char* what) noexcept;
    void NoteNotice(const std::string& text);
    void ReloadWordList();
    // The walk of a chosen word list, kept for this run.
    void NoteWalk(const SettingsRecord& settings);

    SettingsState settings_;
    DictionaryStore dictionaries_;
    OverlayEngine overlay_;
    std::unique_ptr<SettingsUi> ui_;  // none where the platform has no dialog
    BuiltinDictionarySource builtinSource_;
    std::string settingsPath_;
    std::string settingsBaseName_;
    Defaults defaults_;
    // Whether the settings file was read at Init: one that was not is not
    // written over, and why.
    bool settingsRead_ = false;
    std::string settingsUnread_;
    // Word lists by their absolute paths: where each walk stands, from the
    // file and this run, and those this run walked.
    std::map<std::string, int32_t> walks_;
    std::set<std::string> walked_;

    mutable std::mutex faultLock_;
    std::string lastError_;
    std::vector<std::string> notices_;
};
