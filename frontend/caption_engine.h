// A front end's one door into the caption engine: each GStreamer element
// and each VLC filter runs a plug-in instance of its own through this
// class, from start to stop.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "blend/frame_view.h"
#include "learner/entry.h"
#include "overlay/shown_caption.h"
#include "settings/settings_record.h"
#include "settings/settings_table.h"

namespace learner {
class ProgressStore;
}

// How captions are timed: the settings rows' frames (flash), or a caption
// that stays a few seconds every so often in the stream's time (study), the
// fresh default of the native front ends.
struct CaptionTiming {
    bool study = true;
    double showSeconds = 3;    // 0.5 .. 30
    double everySeconds = 20;  // 2 .. 600
    bool operator==(const CaptionTiming&) const = default;
};
inline constexpr double kStudyShowMin = 0.5, kStudyShowMax = 30, kStudyEveryMin = 2, kStudyEveryMax = 600;
inline constexpr double kKeepClearMax = 0.5;

// What a front end's properties or options ask of a run.
struct RunSettings {
    std::string settingsFile;   // empty: no file, every setting at its default, nothing saved
    std::string dictionary;     // a word list that is used instead of the file's choice; empty: none
    std::string progressStore;  // the learner's progress store; empty: none
    // The settings set as properties, by their rows in the settings table,
    // and which of them (and whether the dictionary) were set since the
    // run last took them: only those are put over the working settings, so
    // that a later change does not put back a walk's index, say.
    std::array<std::optional<SettingValue>, kSettingCount> values;
    std::bitset<kSettingCount> pending;
    bool dictionaryPending = false;
    CaptionTiming timing;
    // The share of the frame's height at the bottom that captions keep out
    // of, for the film's subtitles: 0 to 0.5.
    double keepClear = 0;
    // A subtitle file, or a film with a text track, whose coming words the
    // captions teach instead of the dictionaries' (which then only
    // translate); empty: none. Read at the start of a run.
    std::string subtitles;
    double leadSeconds = 4;  // kLeadMin .. kLeadMax before the line
};
inline constexpr double kLeadMin = 2, kLeadMax = 10;

// rules-type=spaced, the element's fourth order after the settings row's
// three: never read from or written to a settings file (where the DLL
// takes 3 as "the same entry again"). It is the order of a run with a
// progress store unless the run asks for another.
inline constexpr int32_t kOrderSpaced = 3;

// The entry a caption showed, as the element tells of it.
struct CaptionShown {
    uint32_t serial = 0;  // counts the captions of entries from 1; 0: none yet
    int32_t index = -1;
    std::string word, translation;
    std::string list;          // the word list's absolute path, or "builtin"
    std::string listName;      // as the settings name it; empty for the built-in one
    bool repeated = false;     // shown again at the viewer's asking
    std::string context = {};  // a film's word: the subtitle line that holds it
    int64_t filmTime = -1;     // a film's word: where in the film its caption started
};

struct CaptionMark {
    CaptionShown caption;
    learner::Mark mark;
};

// The viewer's keys taken since the last frame, for the streaming thread.
struct KeyRequests {
    bool next = false;
    uint32_t repeatMillis = 0;  // show the last caption again for so long; 0: no
    bool toggleCaptions = false;
    std::string note;  // a caption of this text, for noteMillis
    uint32_t noteMillis = 0;
    bool noteAtLastPlace = false;    // where the last caption stood
    std::vector<CaptionMark> marks;  // a known entry never comes again
};

// The per-user settings file of the Linux build.
std::string DefaultSettingsFile();

class CaptionEngine {
public:
    // Reads the settings file, puts the properties over it and loads the
    // dictionaries. What the run goes on through despite it (a word list
    // that cannot be read, a settings file that cannot be opened) is added
    // to warnings, one sentence each.
    CaptionEngine(const RunSettings& run, std::vector<std::string>& warnings);
    ~CaptionEngine();
    CaptionEngine(const CaptionEngine&) = delete;
    CaptionEngine& operator=(const CaptionEngine&) = delete;

    // Properties changed while the element runs (those pending): they show
    // from the next frame.
    void Apply(const RunSettings& run, std::vector<std::string>& warnings);

    // Starts the canvas for frames of this size, or starts it anew; without
    // a format the captions are drawn but not blended (FrameCaption).
    bool StartStream(std::optional<FrameFormat> format, int32_t width, int32_t height);
    // The next frame's time in the front end's own clock (a running time,
    // a picture's date; none when unknown), and the stream's frame rate:
    // study captions count the stream's time, flash ones frames.
    void SetFrameTime(std::optional<int64_t> nanos);
    // The next frame's place in the film (its stream time), by which a
    // film's words are taught; none when unknown.
    void SetFilmTime(std::optional<int64_t> nanos);
    void SetFramesPerSecond(double frames);
    // The stream's time at the last frame (StreamClock's), the length of a
    // frame, and the entry the last frame showed, for the viewer's keys.
    int64_t streamTime() const;
    int64_t frameDuration() const;
    std::optional<uint32_t> EntryOnScreen() const;
    // Whether the next frame may carry a caption; when it cannot, the frame
    // is counted with PassFrame and needs no pixels.
    bool NextFrameMayDraw() const;
    void PassFrame();
    // A frame of the stream, changed in place; one of another format or
    // size is left as it is. The caption it started, if any, is recorded in
    // the progress store.
    std::optional<CaptionShown> ProcessFrame(const FrameView& frame);
    // The caption the last frame showed, in a stream without a format.
    const std::optional<ShownCaption>& FrameCaption() const;

    // The viewer's keys, from the next frame.
    void Take(const KeyRequests& requests);
    // The progress store the viewer's marks are recorded in, on their own
    // thread; null when none.
    std::shared_ptr<learner::ProgressStore> progressStore() const;

    // Ends the stream and saves where the walk through the dictionary
    // stands, leaving the file's other values as they were (an index of a
    // word list only when the list is the file's); closes the progress
    // store, waiting for it at most its busy timeout (what it could not
    // take is a notice).
    void Stop();

    // The last fault the plug-in instance caught, once; empty when none.
    std::string TakeFault();
    // What the instance noticed would hide its captions, and what the
    // spaced order could not keep, each once.
    std::vector<std::string> TakeNotices();

private:
    void ChooseSpaced(bool spaced);
    void ApplyTiming(const RunSettings& run);
    std::vector<std::string> RetireKnownWords();
    void RetireWords(const std::vector<std::string>& sortedKeys);
    void LoadFilm(const RunSettings& run, const std::vector<std::string>& knownKeys,
                  std::vector<std::string>& warnings);

    struct Instance;
    std::unique_ptr<Instance> instance_;
};
