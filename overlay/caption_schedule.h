// The caption schedule: the gap before each entry and how long it shows,
// the viewer's requests, captions off, and which entry comes next. It
// counts frames, as the settings do, or with a study timing the stream's
// time, whatever the frame rate. All of it is the frame's thread's: no lock.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <utility>

#include "dictionary/dictionary_store.h"
#include "overlay/random.h"
#include "settings/settings_record.h"
#include "settings/working_settings.h"

// The entry the last caption showed, as the dictionary gave it.
struct ShownEntry {
    uint32_t serial = 0;  // counts the captions of entries from 1; 0: none yet
    WordSource source = kBuiltinWords;
    std::string list;  // the word list's name as the settings give it; empty for the built-in one
    int32_t index = -1;
    std::string text;       // "word - translation"
    bool repeated = false;  // shown again at the viewer's asking, not by the schedule
    bool provided = false;  // the entry provider's (index is then its own)
};

// Chooses the next entry's index in the dictionary of source instead of
// the settings' order; none: no caption now.
using EntryChooser = std::function<std::optional<int32_t>(WordSource source)>;

// An entry given from outside the dictionaries (a film's coming word), in
// place of theirs: its caption, the provider's own index for it, and with
// a study timing at most how long it stays (0: the timing's time).
struct ProvidedEntry {
    std::string text;
    int32_t index = -1;
    int64_t showNanos = 0;
};
// The entry due now; none: no caption now.
using EntryProvider = std::function<std::optional<ProvidedEntry>()>;

// A caption asked for, started at the next frame instead of the schedule's
// entry: its text and how long it stays.
struct CaptionRequest {
    std::string text;
    uint32_t millis = 0;
    bool entry = false;        // the last entry again, not a note
    bool atLastPlace = false;  // where the last caption stood, not a place of its own
};

// A caption every so often for so long, in the stream's nanoseconds.
struct StudyTiming {
    int64_t showNanos = 0;
    int64_t everyNanos = 0;
};

// What asking for the next entry came to.
enum class NextEntry {
    kTaken,
    kNoneChosen,       // the chooser has none for now, which is no fault
    kDictionaryEmpty,  // the chosen dictionary gave none
};

class CaptionSchedule {
public:
    // Entries come from the dictionaries; the index of each is written back
    // through the working settings' one writer.
    CaptionSchedule(WorkingSettings& workingSettings, DictionaryStore& dictionaries);

    // Counts a frame of the gap, with nothing shown and the next entry more
    // than a frame away, and says whether it did.
    bool CountGapFrame() noexcept {
        if (timing_) return now_ >= showUntil_ && now_ < nextStart_;
        if (showFrames_ != 0 || gapFrames_ <= 1) return false;
        --gapFrames_;
        return true;
    }
    // Counts a frame towards the next entry: whether it is due now.
    bool CountDueFrame() {
        if (timing_) return now_ >= nextStart_;
        return gapFrames_ == 0 || --gapFrames_ == 0;
    }
    // Counts a frame of the caption shown: false when none shows.
    bool CountShownFrame();
    bool showing() const { return timing_ ? now_ < showUntil_ : showFrames_ > 0; }

    // The settings' frames (none), or a study timing. A new timing ends
    // the caption on screen, and the next frame takes an entry.
    void SetTiming(const std::optional<StudyTiming>& timing);
    // The stream's time at the next frame, for a study timing: it only
    // moves forward.
    void SetTime(int64_t nanos) { now_ = std::max(now_, nanos); }
    // A request's time is counted in frames at this rate without a study
    // timing.
    void SetFramesPerSecond(uint32_t frames) { framesPerSecond_ = std::max<uint32_t>(frames, 1); }
    bool NextFrameMayDraw() const;
    // Counts a frame that NextFrameMayDraw ruled out.
    void PassFrame();
    // Captions off and nothing asked for: the schedule waits.
    bool waiting() const { return captionsOff_ && !request_; }

    // A new caption's gap and frames, drawn from the settings' ranges; with
    // a study timing, the timing's, and nothing is drawn.
    void Start(const SettingsRecord& settings, RandomSource& random);
    // The next entry of the dictionary the settings choose into text, its
    // index written back to them unless the dialog set another meanwhile.
    NextEntry TakeNextEntry(SettingsRecord& settings, std::string& text);
    bool requested() const { return request_.has_value(); }
    CaptionRequest TakeRequest();
    // A requested caption, once started, stays its own time, and the next
    // entry waits for it to end; the last entry shown again counts as one
    // more caption of it.
    void ShowRequested(const CaptionRequest& request);
    // Whether the caption on screen is an entry's, not a note.
    bool showingEntry() const { return showingEntry_ && showing(); }

    // The viewer's requests (see OverlayEngine).
    void ShowNextNow();
    void ShowAgain(uint32_t millis);
    void ShowNote(const std::string& text, uint32_t millis, bool atLastPlace);
    void SetCaptionsOff(bool off);
    bool captionsOff() const { return captionsOff_; }
    void Retire(const std::string& list, int32_t index) { retired_.insert({list, index}); }
    const ShownEntry& lastShown() const { return shown_; }
    // Unset: the settings' order.
    void SetEntryChooser(EntryChooser chooser) { chooseEntry_ = std::move(chooser); }
    // Set, every entry is the provider's and the dictionaries give none.
    void SetEntryProvider(EntryProvider provider) { provideEntry_ = std::move(provider); }

    // The caption on screen ends, and the next frame is due.
    void Interrupt();
    uint32_t gapFrames() const { return gapFrames_; }
    uint32_t showFrames() const { return showFrames_; }

private:
    uint32_t FramesOf(uint32_t millis) const;

    WorkingSettings& workingSettings_;
    DictionaryStore& dictionaries_;
    uint32_t gapFrames_ = 0;   // until the next entry
    uint32_t showFrames_ = 0;  // the entry still shows
    std::optional<StudyTiming> timing_;
    int64_t now_ = 0, nextStart_ = 0, showUntil_ = 0;  // the stream's time, with a study timing
    uint32_t framesPerSecond_ = 25;
    bool showingEntry_ = false;
    std::optional<CaptionRequest> request_;
    bool captionsOff_ = false;
    std::set<std::pair<std::string, int32_t>> retired_;  // by list (empty: built-in) and index
    ShownEntry shown_;
    EntryChooser chooseEntry_;
    EntryProvider provideEntry_;
    int64_t provisionLimit_ = 0;  // the provided entry's showNanos, for Start
};
