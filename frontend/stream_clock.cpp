#include "frontend/stream_clock.h"

int64_t StreamClock::Frame(std::optional<int64_t> nanos) {
    if (started_) {
        int64_t step = frame_;
        if (nanos && last_) {
            step = *nanos - *last_;
            if (step < 0) step = 0;  // a flush or a seek back: the same picture again
            if (step > kSecond) step = frame_;
        }
        now_ += step;
    }
    started_ = true;
    if (nanos) last_ = nanos;
    return now_;
}
