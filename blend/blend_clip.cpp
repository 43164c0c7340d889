#include "blend/blend_clip.h"

// Works in 64 bits so that rectangles far outside either surface cannot
// overflow on their way to being rejected.
std::optional<BlendArea> ClipBlend(const BlendJob& job) {
    const FrameView& frame = job.frame;
    const bool pairs = frame.format == FrameFormat::kYuy2 || frame.format == FrameFormat::kUyvy;
    const int64_t dw = pairs ? frame.width & ~1 : frame.width, dh = frame.height;
    const int64_t sw = job.canvas.width, sh = job.canvas.height;
    int64_t sl = job.source.left, st = job.source.top, sr = job.source.right, sb = job.source.bottom;
    int64_t dl = job.destLeft, dt = job.destTop;

    if (dw <= 0 || dh <= 0) return std::nullopt;
    if (sl >= sw) return std::nullopt;
    if (sl < 0) dl -= sl, sl = 0;
    if (st >= sh) return std::nullopt;
    if (st < 0) dt -= st, st = 0;
    if (sr <= 0) return std::nullopt;
    if (sr > sw) sr = sw;
    if (sb <= 0) return std::nullopt;
    if (sb > sh) sb = sh;
    if (dl >= dw) return std::nullopt;
    if (dl < 0) sl -= dl, dl = 0;
    if (dt >= dh) return std::nullopt;
    if (dt < 0) st -= dt, dt = 0;
    if (sl >= sr) return std::nullopt;
    if (const int64_t over = (sr - sl) + dl - dw; over >= 0) sr -= over;
    if (st >= sb) return std::nullopt;
    if (const int64_t over = (sb - st) + dt - dh; over >= 0) sb -= over;

    const auto narrow = [](int64_t value) { return static_cast<int32_t>(value); };
    return BlendArea{
        {narrow(dl), narrow(dt), narrow(dl + (sr - sl)), narrow(dt + (sb - st))}, narrow(sl - dl), narrow(st - dt)};
}
