#include "tools/tpp-host/progress_meter.h"

#include "tools/tpp-host/console_text.h"

namespace {

double SecondsSince(std::chrono::steady_clock::time_point from) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
}

}  // namespace

ProgressMeter::ProgressMeter() : start_(Clock::now()), lastShown_(start_) { toTerminal_ = IsTerminal(stderr); }

void ProgressMeter::Frame(int64_t frames) {
    if (!toTerminal_ || SecondsSince(lastShown_) < 0.5) return;
    lastShown_ = Clock::now();
    ConsolePrint(stderr, "\rtpp-host: frame %lld, %.1f fps   ", static_cast<long long>(frames),
                 FramesPerSecond(frames));
    shown_ = true;
}

double ProgressMeter::Seconds() const { return SecondsSince(start_); }

double ProgressMeter::FramesPerSecond(int64_t frames) const {
    const double seconds = Seconds();
    return seconds > 0 ? static_cast<double>(frames) / seconds : 0.0;
}

void ProgressMeter::Clear() {
    if (shown_) ConsolePrint(stderr, "\r%60s\r", "");
    shown_ = false;
}
