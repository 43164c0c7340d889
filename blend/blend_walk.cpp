#include "blend/blend_walk.h"

#include <algorithm>
#include <optional>

#include "blend/blend_clip.h"
#include "blend/blend_math.h"
#include "blend/blend_words.h"

namespace blend {
namespace {

// Frame columns of one canvas row where the canvas is to be read, in order:
// its runs (or all of the caption) shifted to the frame, within [lo, hi).
class RowSegments {
public:
    RowSegments() = default;
    RowSegments(const CanvasRun* first, const CanvasRun* last, int32_t shift, int32_t lo, int32_t hi)
        : next_(first), last_(last), shift_(shift), lo_(lo), hi_(hi) {}

    bool Pop(int32_t& left, int32_t& right) {
        while (next_ != last_) {
            const int64_t l = std::max<int64_t>(int64_t{next_->left} - shift_, lo_);
            const int64_t r = std::min<int64_t>(int64_t{next_->right} - shift_, hi_);
            ++next_;
            if (l < r) {
                left = static_cast<int32_t>(l), right = static_cast<int32_t>(r);
                return true;
            }
        }
        return false;
    }

private:
    const CanvasRun* next_ = nullptr;
    const CanvasRun* last_ = nullptr;
    int32_t shift_ = 0, lo_ = 0, hi_ = 0;
};

// Calls emit(left, right) for the union of two rows' segments, merged where
// they lie within kRunJoinGap of each other and, with pairs, widened to even
// columns (lo and hi are even then).
template <class Emit>
void ForEachSegment(RowSegments a, RowSegments b, bool pairs, Emit emit) {
    int32_t al = 0, ar = 0, bl = 0, br = 0;
    bool hasA = a.Pop(al, ar), hasB = b.Pop(bl, br);
    bool pending = false;
    int32_t pl = 0, pr = 0;
    while (hasA || hasB) {
        int32_t l, r;
        if (hasA && (!hasB || al <= bl)) {
            l = al, r = ar, hasA = a.Pop(al, ar);
        } else {
            l = bl, r = br, hasB = b.Pop(bl, br);
        }
        if (pairs) l &= ~1, r = (r + 1) & ~1;
        if (pending && l <= pr + kRunJoinGap) {
            pr = std::max(pr, r);
            continue;
        }
        if (pending) emit(pl, pr);
        pending = true, pl = l, pr = r;
    }
    if (pending) emit(pl, pr);
}

// The widest vector of any path, in pixels (8 YUY2 macropixels or 4:2:0
// blocks), and a multiple of every narrower one; no more than the gap
// between segments.
constexpr int32_t kCanvasGranule = 16;
static_assert(kCanvasGranule <= kRunJoinGap, "widened segments never meet");

Pattern Repeating(const uint8_t* target, const uint8_t* keep, int period, int32_t weight) {
    Pattern p;
    for (int i = 0; i < kPatternCycle + 32; ++i) {
        p.target[i] = target[i % period], p.keep[i] = keep[i % period];
        const int32_t w = p.keep[i] ? 0 : weight;
        p.product[i] = static_cast<uint16_t>(p.target[i] * w), p.rest[i] = static_cast<uint16_t>(256 - w);
    }
    return p;
}

// What the walk needs of a 4:2:0 format: its samples' size, whether U and
// V interleave, its kernels, and how a sample of an 8-bit target is
// written into the frame's bytes.
struct BlockFormat {
    int32_t sampleBytes;
    bool interleaved;
    void (*mixBlock)(uint8_t* const y[4], uint8_t* u, uint8_t* v, const uint32_t c[4], const bool clear[4],
                     int32_t weight);
    void (*putTarget)(uint8_t* sample, int32_t target);
    BlockSpan blocks;
    ConstantSpan constant;
    TargetSpan target;
};

template <class S>
void PutTarget(uint8_t* sample, int32_t target) {
    S::Put(sample, target << S::kScale);
}

template <class S>
BlockFormat BlockFormatFor(bool interleaved, BlockSpan blocks, ConstantSpan constant, TargetSpan target) {
    return {S::kBytes, interleaved, MixBlock<S>, PutTarget<S>, blocks, constant, target};
}

BlockFormat BlockFormatOf(FrameFormat format, const Spans& spans) {
    switch (format) {
        case FrameFormat::kNv12: return BlockFormatFor<ByteSamples>(true, spans.nv12, spans.constant, spans.target);
        case FrameFormat::kP010:
            return BlockFormatFor<P010Samples>(true, spans.p010.blocks, spans.p010.constant, spans.p010.target);
        case FrameFormat::kI420p10:
            return BlockFormatFor<I420p10Samples>(false, spans.i420p10.blocks, spans.i420p10.constant,
                                                  spans.i420p10.target);
        default:  // I420, and the packed formats, which never use it
            return BlockFormatFor<ByteSamples>(false, spans.i420, spans.constant, spans.target);
    }
}

// What a walk writes: the frame, or the targets in its stead.
enum class Output { kFrame, kTargets };

class Walker {
public:
    Walker(const BlendJob& job, const Spans& spans, const FrameView* targets, Output output)
        : job_(job),
          spans_(spans),
          targets_(targets),
          writesTargets_(output == Output::kTargets),
          blocks_(BlockFormatOf(job.frame.format, spans)) {}

    void Run() {
        if (!Clip()) return;
        weight_ = writesTargets_ ? 256 : Weight(job_.opacity);
        key_ = KeyColour(job_.backColor, job_.keyBackground);
        back_ = CanvasColour(job_.backColor);
        MakePatterns();
        switch (job_.frame.format) {
            case FrameFormat::kYuy2:
            case FrameFormat::kBgr:
            case FrameFormat::kBgrx:
                for (int32_t y = top_; y < bottom_; ++y) PackedRow(y);
                break;
            case FrameFormat::kI420:
            case FrameFormat::kNv12:
            case FrameFormat::kP010:
            case FrameFormat::kI420p10:
                for (int32_t y = top_ & ~1; y < bottom_; y += 2) BlockRow(y);
                break;
        }
    }

private:
    // The blended frame rectangle [left_, right_) x [top_, bottom_) and the
    // canvas offset; 4:2:0 keeps the blocks that the edge cuts.
    bool Clip() {
        const std::optional<BlendArea> area = ClipBlend(job_);
        if (!area) return false;
        left_ = area->frame.left, top_ = area->frame.top, right_ = area->frame.right, bottom_ = area->frame.bottom;
        dx_ = area->dx, dy_ = area->dy;
        return true;
    }

    void MakePatterns() {
        const uint8_t b = back_ & 0xFF, g = (back_ >> 8) & 0xFF, r = (back_ >> 16) & 0xFF;
        const uint8_t y = static_cast<uint8_t>(LumaOf(back_));
        const uint8_t u = static_cast<uint8_t>(ChromaUOf(back_)), v = static_cast<uint8_t>(ChromaVOf(back_));
        const uint8_t none[4] = {0, 0, 0, 0}, fourth[4] = {0, 0, 0, 1};
        switch (job_.frame.format) {
            case FrameFormat::kYuy2: {
                const uint8_t t[4] = {y, u, y, v};
                patterns_[0] = Repeating(t, none, 4, weight_);
                break;
            }
            case FrameFormat::kBgr:
            case FrameFormat::kBgrx: {
                const uint8_t t[4] = {b, g, r, 0};
                patterns_[0] = Repeating(t, job_.frame.format == FrameFormat::kBgrx ? fourth : none,
                                         job_.frame.format == FrameFormat::kBgrx ? 4 : 3, weight_);
                break;
            }
            case FrameFormat::kI420:
            case FrameFormat::kNv12:
            case FrameFormat::kP010:
            case FrameFormat::kI420p10: {
                const BlockFormat& f = blocks_;
                const int32_t s = f.sampleBytes;
                uint8_t yuv[6] = {};  // Y, U, V a sample each
                f.putTarget(yuv, y), f.putTarget(yuv + s, u), f.putTarget(yuv + 2 * s, v);
                patterns_[0] = Repeating(yuv, none, s, weight_);
                patterns_[1] = Repeating(yuv + s, none, f.interleaved ? 2 * s : s, weight_);
                patterns_[2] = Repeating(yuv + 2 * s, none, s, weight_);
                break;
            }
        }
    }

    int32_t BytesPerPixel() const {
        switch (job_.frame.format) {
            case FrameFormat::kYuy2: return 2;
            case FrameFormat::kBgr: return 3;
            case FrameFormat::kBgrx: return 4;
            default: return 1;
        }
    }

    uint8_t* PlaneRow(int plane, int32_t y) const { return RowOf(job_.frame, plane, y); }
    static uint8_t* RowOf(const FrameView& frame, int plane, int32_t y) {
        return frame.planes[plane].top + static_cast<ptrdiff_t>(y) * frame.planes[plane].stride;
    }
    const uint8_t* CanvasAt(int32_t x, int32_t y) const {
        return job_.canvas.bits + static_cast<ptrdiff_t>(y + dy_) * job_.canvas.stride +
               static_cast<ptrdiff_t>(x + dx_) * 4;
    }

    bool InCaption(int32_t x, int32_t y) const {
        const int64_t cx = int64_t{x} + dx_, cy = int64_t{y} + dy_;
        const PixelRect& c = job_.caption;
        return cx >= c.left && cx < c.right && cy >= c.top && cy < c.bottom;
    }
    // The canvas colour under frame pixel (x, y), read only inside the caption.
    uint32_t ColourAt(int32_t x, int32_t y) const { return InCaption(x, y) ? CanvasPixel(CanvasAt(x, y)) : back_; }

    // The segments of frame row y within [lo, hi).
    RowSegments Segments(int32_t y, int32_t lo, int32_t hi) {
        const int64_t cy = int64_t{y} + dy_;
        const PixelRect& c = job_.caption;
        if (cy < c.top || cy >= c.bottom) return {};
        const int64_t captionLo = std::max<int64_t>(int64_t{c.left} - dx_, lo);
        const int64_t captionHi = std::min<int64_t>(int64_t{c.right} - dx_, hi);
        if (captionLo >= captionHi) return {};
        const int32_t l = static_cast<int32_t>(captionLo), h = static_cast<int32_t>(captionHi);
        // The targets hold all of the caption: one span a row beats a few
        // with constant ones between.
        const CanvasRuns* runs = targets_ ? nullptr : job_.runs;
        if (!runs) {
            whole_[y & 1] = {c.left, c.right};
            return {&whole_[y & 1], &whole_[y & 1] + 1, dx_, l, h};
        }
        const int64_t row = cy - runs->top;
        if (row < 0 || row >= runs->rows) return {};
        return {runs->runs + runs->rowStarts[row], runs->runs + runs->rowStarts[row + 1], dx_, l, h};
    }

    // Canvas spans where the segments say, constant spans between them.
    // Each canvas span is widened to a whole number of kCanvasGranule
    // pixels, within the caption, into the background beside it (the
    // segments lie further apart than that), so that no path mixes a
    // remainder pixel by pixel; all paths widen alike, so they read the
    // same pixels and give the same bytes.
    template <class Canvas, class Constant>
    void CutRow(RowSegments a, RowSegments b, bool pairs, int32_t lo, int32_t hi, Canvas canvas, Constant constant) {
        const PixelRect& c = job_.caption;
        int32_t captionLo = static_cast<int32_t>(std::clamp<int64_t>(int64_t{c.left} - dx_, lo, hi));
        int32_t captionHi = static_cast<int32_t>(std::clamp<int64_t>(int64_t{c.right} - dx_, lo, hi));
        if (pairs) captionLo &= ~1, captionHi = std::min((captionHi + 1) & ~1, hi);
        int32_t x = lo;
        const bool keyed = key_ == back_ || writesTargets_;
        ForEachSegment(a, b, pairs, [&](int32_t l, int32_t r) {
            const int32_t width = (r - l + kCanvasGranule - 1) / kCanvasGranule * kCanvasGranule;
            r = std::max(r, std::min(l + width, captionHi));
            l = std::min(l, std::max({r - width, x, captionLo}));
            if (!keyed && x < l) constant(x, l);
            canvas(l, r);
            x = r;
        });
        if (!keyed && x < hi) constant(x, hi);
    }

    // The YUY2 macropixel of columns x, x + 1 of row y with only the pixel
    // in slot inside the rectangle. The targets keep that pixel's luma and
    // chroma in the macropixel's bytes (its own luma where it lies).
    void EdgeMacropixel(uint8_t* row, uint8_t* targetRow, int32_t x, int slot, int32_t y) {
        if (targetRow && !writesTargets_) {
            const uint8_t* t = targetRow + x * 2;
            return MixHalfMacropixel(row + x * 2, slot, t[2 * slot], t[1], t[3], weight_);
        }
        const uint32_t c = ColourAt(x + slot, y);
        if (writesTargets_) {
            uint8_t* t = targetRow + x * 2;
            t[2 * slot] = static_cast<uint8_t>(LumaOf(c));
            t[1] = static_cast<uint8_t>(ChromaUOf(c)), t[3] = static_cast<uint8_t>(ChromaVOf(c));
            return;
        }
        if (slot)
            MixMacropixel(row + x * 2, 0, true, c, c == key_, weight_);
        else
            MixMacropixel(row + x * 2, c, c == key_, 0, true, weight_);
    }

    void PackedRow(int32_t y) {
        uint8_t* row = PlaneRow(0, y);
        const int32_t bpp = BytesPerPixel();
        const FrameFormat format = job_.frame.format;
        int32_t lo = left_, hi = right_;
        uint8_t* const targetRow = targets_ ? RowOf(*targets_, 0, y) : nullptr;
        if (format == FrameFormat::kYuy2) {
            // An edge macropixel's slot outside the rectangle is transparent.
            if (lo & 1) EdgeMacropixel(row, targetRow, lo - 1, 1, y), ++lo;
            if (hi & 1 && hi > lo) --hi, EdgeMacropixel(row, targetRow, hi, 0, y);
        }
        if (lo >= hi) return;
        const PixelSpan span = format == FrameFormat::kYuy2  ? spans_.yuy2
                               : format == FrameFormat::kBgr ? spans_.bgr
                                                             : spans_.bgrx;
        const int32_t perCall = format == FrameFormat::kYuy2 ? 2 : 1;
        CutRow(
            Segments(y, lo, hi), {}, format == FrameFormat::kYuy2, lo, hi,
            [&](int32_t l, int32_t r) {
                if (writesTargets_)
                    span(targetRow + l * bpp, CanvasAt(l, y), (r - l) / perCall, weight_, key_);
                else if (targetRow)
                    spans_.target(row + l * bpp, targetRow + l * bpp, (r - l) * bpp, weight_);
                else
                    span(row + l * bpp, CanvasAt(l, y), (r - l) / perCall, weight_, key_);
            },
            [&](int32_t l, int32_t r) { spans_.constant(row + l * bpp, (r - l) * bpp, weight_, patterns_[0], 0); });
    }

    // Frame rows y and y + 1 (y even): whole block rows through the spans,
    // a row cut by the rectangle or the frame block by block here.
    void BlockRow(int32_t y) {
        const BlockFormat& f = blocks_;
        const int32_t s = f.sampleBytes, chromaStep = f.interleaved ? 2 * s : s;  // bytes a block
        uint8_t* luma[2] = {PlaneRow(0, y), y + 1 < bottom_ ? PlaneRow(0, y + 1) : nullptr};
        uint8_t* u = PlaneRow(1, y / 2);
        uint8_t* v = f.interleaved ? u + s : PlaneRow(2, y / 2);
        const bool rows[2] = {y >= top_, y + 1 < bottom_};
        const auto block = [&](int32_t x) {  // the block of columns x, x + 1 (x even)
            uint32_t c[4];
            bool clear[4];
            uint8_t* yp[4];
            for (int i = 0; i < 4; ++i) {
                const int32_t px = x + (i & 1), py = y + (i >> 1);
                const bool inside = rows[i >> 1] && px >= left_ && px < right_;
                c[i] = inside ? ColourAt(px, py) : 0;
                clear[i] = !inside || c[i] == key_;
                yp[i] = inside ? luma[i >> 1] + px * s : nullptr;
            }
            f.mixBlock(yp, u + (x / 2) * chromaStep, v + (x / 2) * chromaStep, c, clear, weight_);
        };
        if (!rows[0] || !rows[1]) {
            if (!writesTargets_)
                for (int32_t x = left_ & ~1; x < right_; x += 2) block(x);
            return;
        }
        int32_t lo = left_, hi = right_;
        if (lo & 1) {
            if (!writesTargets_) block(lo - 1);
            ++lo;
        }
        if (hi & 1 && hi > lo) {
            --hi;
            if (!writesTargets_) block(hi);
        }
        if (lo >= hi) return;
        // The targets' planes at the same rows, laid out as the frame's.
        uint8_t* tl[2] = {nullptr, nullptr};
        uint8_t *tu = nullptr, *tv = nullptr;
        if (targets_) {
            tl[0] = RowOf(*targets_, 0, y), tl[1] = RowOf(*targets_, 0, y + 1);
            tu = RowOf(*targets_, 1, y / 2), tv = f.interleaved ? tu + s : RowOf(*targets_, 2, y / 2);
        }
        // Columns [l, r) (both even) as bytes of a luma row and of a chroma row.
        const auto lumaBytes = [s](int32_t l) { return l * s; };
        const auto chromaBytes = [chromaStep](int32_t l) { return l / 2 * chromaStep; };
        CutRow(
            Segments(y, lo, hi), Segments(y + 1, lo, hi), true, lo, hi,
            [&](int32_t l, int32_t r) {
                const int32_t cl = chromaBytes(l), cn = chromaBytes(r) - cl;
                if (writesTargets_) {
                    const BlockRows at = {.luma0 = tl[0] + lumaBytes(l),
                                          .luma1 = tl[1] + lumaBytes(l),
                                          .u = tu + cl,
                                          .v = tv + cl,
                                          .canvas0 = CanvasAt(l, y),
                                          .canvas1 = CanvasAt(l, y + 1)};
                    f.blocks(at, (r - l) / 2, weight_, key_);
                } else if (targets_) {
                    f.target(luma[0] + lumaBytes(l), tl[0] + lumaBytes(l), lumaBytes(r - l), weight_);
                    f.target(luma[1] + lumaBytes(l), tl[1] + lumaBytes(l), lumaBytes(r - l), weight_);
                    f.target(u + cl, tu + cl, cn, weight_);
                    if (!f.interleaved) f.target(v + cl, tv + cl, cn, weight_);
                } else {
                    const BlockRows at = {.luma0 = luma[0] + lumaBytes(l),
                                          .luma1 = luma[1] + lumaBytes(l),
                                          .u = u + cl,
                                          .v = v + cl,
                                          .canvas0 = CanvasAt(l, y),
                                          .canvas1 = CanvasAt(l, y + 1)};
                    f.blocks(at, (r - l) / 2, weight_, key_);
                }
            },
            [&](int32_t l, int32_t r) {
                const int32_t cl = chromaBytes(l), cn = chromaBytes(r) - cl;
                f.constant(luma[0] + lumaBytes(l), lumaBytes(r - l), weight_, patterns_[0], 0);
                f.constant(luma[1] + lumaBytes(l), lumaBytes(r - l), weight_, patterns_[0], 0);
                f.constant(u + cl, cn, weight_, patterns_[1], 0);
                if (!f.interleaved) f.constant(v + cl, cn, weight_, patterns_[2], 0);
            });
    }

    const BlendJob& job_;
    const Spans& spans_;
    const FrameView* targets_;
    bool writesTargets_;
    BlockFormat blocks_;  // for 4:2:0 frames
    int32_t left_ = 0, top_ = 0, right_ = 0, bottom_ = 0, dx_ = 0, dy_ = 0;
    int32_t weight_ = 0;
    uint32_t key_ = 0, back_ = 0;
    Pattern patterns_[3];
    CanvasRun whole_[2];  // the caption as the one run of a row without runs
};

}  // namespace

void MixIntoFrame(const BlendJob& job, const Spans& spans, const FrameView* targets) {
    Walker(job, spans, targets, Output::kFrame).Run();
}

void WriteTargets(const BlendJob& job, const Spans& spans, const FrameView& targets) {
    Walker(job, spans, &targets, Output::kTargets).Run();
}

}  // namespace blend
