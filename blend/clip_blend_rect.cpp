#include "blend/blend.h"

// Works in 64 bits so that rectangles far outside either surface cannot
// overflow on their way to being rejected.
bool ClipBlendRect(BlendArgs& a) {
    int64_t sl = a.sourceLeft, st = a.sourceTop, sr = a.sourceRight, sb = a.sourceBottom;
    int64_t dl = a.destLeft, dt = a.destTop;
    const int64_t sw = a.sourceWidth, sh = a.sourceHeight, dw = a.destWidth, dh = a.destHeight;

    if (sl >= sw) return false;
    if (sl < 0) dl -= sl, sl = 0;
    if (st >= sh) return false;
    if (st < 0) dt -= st, st = 0;
    if (sr <= 0) return false;
    if (sr > sw) sr = sw;
    if (sb <= 0) return false;
    if (sb > sh) sb = sh;
    if (dl >= dw) return false;
    if (dl < 0) sl -= dl, dl = 0;
    if (dt >= dh) return false;
    if (dt < 0) st -= dt, dt = 0;
    if (sl >= sr) return false;
    if (const int64_t over = (sr - sl) + dl - dw; over >= 0) sr -= over;
    if (st >= sb) return false;
    if (const int64_t over = (sb - st) + dt - dh; over >= 0) sb -= over;

    a.sourceLeft = static_cast<int32_t>(sl);
    a.sourceTop = static_cast<int32_t>(st);
    a.sourceRight = static_cast<int32_t>(sr);
    a.sourceBottom = static_cast<int32_t>(sb);
    a.destLeft = static_cast<int32_t>(dl);
    a.destTop = static_cast<int32_t>(dt);
    return true;
}
