// The stream's time as captions count it in study mode and as marks look
// back on it: it moves forward with the frames' own times (a buffer's
// running time, a picture's date), and never back, so that a seek, a
// flush or a pause moves no caption on or off the screen. A jump of more
// than a second, or a frame without a time, moves it by one frame.
#pragma once

#include <cstdint>
#include <optional>

class StreamClock {
public:
    static constexpr int64_t kSecond = 1'000'000'000;

    void SetFrameDuration(int64_t nanos) {
        if (nanos > 0) frame_ = nanos;
    }
    int64_t frameDuration() const { return frame_; }

    // A frame at this time (none: unknown); returns the clock at it.
    int64_t Frame(std::optional<int64_t> nanos);
    int64_t now() const { return now_; }

private:
    bool started_ = false;
    std::optional<int64_t> last_;
    int64_t now_ = 0;
    int64_t frame_ = kSecond / 25;
};
