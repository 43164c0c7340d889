// The viewer's keys between the thread they come on (a video window's) and
// the frames' thread: what a key asks of the next frame waits here, under a
// lock, and a mark is recorded in the progress store at once, even while
// the picture stands still. Each front end's instance has its own.
//
// A key marks the caption the viewer saw, by the stream's time: a person
// needs about 0.3 s to react, so a key marks the caption on screen if it
// has been there that long, or else the latest one that started that long
// before the key and ended less than 2 s before it; with none, nothing.
// A second key of the same kind on the same caption marks nothing more.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <utility>

#include "frontend/caption_engine.h"
#include "frontend/key_map.h"
#include "frontend/stream_clock.h"

class ViewerKeys {
public:
    static constexpr int64_t kReactionNanos = 300'000'000;
    static constexpr int64_t kLookBackNanos = 2'000'000'000;
    // How long the notes of keys show.
    static constexpr uint32_t kMarkNoteMillis = 1500;
    static constexpr uint32_t kRepeatMillis = 2000;
    static constexpr uint32_t kHelpMillis = 4000;

    void SetMap(KeyMap map);
    KeyMap Map() const;
    // The player's own keys, told after the element's in the help caption.
    void SetPlayerKeys(std::string text);
    std::string PlayerKeys() const;

    // A run starts with its store (null: none) and nothing asked yet, and
    // no caption to mark: a new engine counts its captions anew.
    void StartRun(std::shared_ptr<learner::ProgressStore> store);
    // Lets go of the store, so that closing the engine writes the last marks.
    void EndRun();

    // The caption a frame started, at the stream's time (StreamClock's).
    void Shown(const CaptionShown& caption, int64_t at);
    // A frame at the stream's time at, which came at frameNanos of the
    // front end's own clock (a running time, a picture's date; none when
    // unknown), and the entry it showed, if any.
    void Frame(int64_t at, std::optional<int64_t> frameNanos, std::optional<uint32_t> entryOnScreen,
               int64_t frameDuration);

    struct Taken {
        bool ours = false;                // one of the map's keys, pressed or released
        std::optional<KeyAction> action;  // what a press asked
        std::optional<CaptionMark> mark;  // what a press marked, recorded
        bool captionsOff = false;         // after a press of the captions key
    };
    // A key pressed (or released: taken, and nothing asked), named as the
    // map names keys, with Shift held or not; nowNanos is the front end's
    // clock when it came (none: the last frame's time).
    Taken Take(const char* key, bool shift, bool pressed, std::optional<int64_t> nowNanos = std::nullopt);

    // What the keys asked since the last frame, for the engine to take.
    KeyRequests TakeRequests();

private:
    struct Recent {
        CaptionShown caption;
        int64_t start = 0;
        std::optional<int64_t> end;  // none while on screen
    };
    int64_t KeyTime(std::optional<int64_t> nowNanos) const;
    const Recent* Seen(int64_t keyTime) const;
    void Mark(KeyAction action, int64_t keyTime, Taken& taken);
    void Note(std::string text, uint32_t millis, bool atLastPlace);

    mutable std::mutex mutex_;
    KeyMap map_;
    std::string playerKeys_;
    KeyRequests requests_;
    std::deque<Recent> recent_;
    std::set<std::pair<uint32_t, learner::Mark>> marked_;  // by caption serial
    int64_t lastAt_ = 0;
    std::optional<int64_t> lastFrameNanos_;
    int64_t frameDuration_ = 40'000'000;
    bool captionsOff_ = false;
    std::shared_ptr<learner::ProgressStore> store_;
};
