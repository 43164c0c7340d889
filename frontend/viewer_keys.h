// The viewer's keys between the thread they come on (a video window's) and
// the frames' thread: what a key asks of the next frame waits here, under a
// lock, and a mark is recorded in the progress store at once, even while
// the picture stands still. Each front end's instance has its own.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>

#include "frontend/caption_engine.h"
#include "frontend/key_map.h"

class ViewerKeys {
public:
    void SetMap(KeyMap map);
    KeyMap Map() const;

    // A run starts with its store (null: none) and nothing asked yet, and
    // no caption to mark: a new engine counts its captions anew.
    void StartRun(std::shared_ptr<learner::ProgressStore> store);
    // Lets go of the store, so that closing the engine writes the last marks.
    void EndRun();
    // Seconds of a repeat or a help caption are counted in frames.
    void SetFramesPerSecond(uint32_t frames);
    // The caption a frame started: the one the marks go to.
    void Shown(const CaptionShown& caption);

    struct Taken {
        bool ours = false;                // one of the map's keys, pressed or released
        std::optional<CaptionMark> mark;  // what a press marked, recorded
    };
    // A key pressed (or released: taken, and nothing asked), named as the
    // map names keys, with Shift held or not.
    Taken Take(const char* key, bool shift, bool pressed);

    // What the keys asked since the last frame, for the engine to take.
    KeyRequests TakeRequests();

private:
    mutable std::mutex mutex_;
    KeyMap map_;
    KeyRequests requests_;
    CaptionShown shown_;
    uint32_t framesPerSecond_ = 25;
    std::shared_ptr<learner::ProgressStore> store_;
};
