#include "tools/tpp-host/progress_meter.h"

#include "tools/tpp-host/console_text.h"

namespace {

double Elapsed(const LARGE_INTEGER& from, const LARGE_INTEGER& frequency) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

ProgressMeter::ProgressMeter() {
    DWORD mode = 0;
    toTerminal_ = GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
    QueryPerformanceFrequency(&frequency_);
    QueryPerformanceCounter(&start_);
    lastShown_ = start_;
}

void ProgressMeter::Frame(int64_t frames) {
    if (!toTerminal_ || Elapsed(lastShown_, frequency_) < 0.5) return;
    QueryPerformanceCounter(&lastShown_);
    ConsolePrint(stderr, "\rtpp-host: frame %lld, %.1f fps   ", static_cast<long long>(frames),
                 FramesPerSecond(frames));
        shown_ = true;
}

double ProgressMeter::Seconds() const {
    return Elapsed(start_, frequency_);
}

double ProgressMeter::FramesPerSecond(int64_t frames) const {
    const double seconds = Seconds();
    return seconds > 0 ? static_cast<double>(frames) / seconds : 0.0;
}

void ProgressMeter::Clear() {
    if (shown_) ConsolePrint(stderr, "\r%60s\r", "");
    shown_ = false;
}
