// Frames and frames per second on standard error: a line that updates
// itself while standard error is a terminal, and one summary at the end.
#pragma once

#include <chrono>
#include <cstdint>

class ProgressMeter {
public:
    ProgressMeter();

    // Called after every frame; redraws the progress line twice a second.
    void Frame(int64_t frames);
    double Seconds() const;
    double FramesPerSecond(int64_t frames) const;
    // Clears the progress line so that the summary starts on a clean one.
    void Clear();

private:
    using Clock = std::chrono::steady_clock;
    Clock::time_point start_, lastShown_;
    bool toTerminal_ = false;
    bool shown_ = false;
};
