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
        case FrameFormat::kNv21: return BlockFormatFor<ByteSamples>(true, spans.nv21, spans.constant, spans.target);
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
        switch (job_.frame.format) {
            case FrameFormat::kYuy2: return PackedRows<Yuy2Layout>();
            case FrameFormat::kUyvy: return PackedRows<UyvyLayout>();
            case FrameFormat::kBgr: return PackedRows<BgrLayout>();
            case FrameFormat::kBgrx: return PackedRows<BgrxLayout>();
            case FrameFormat::kRgbx: return PackedRows<RgbxLayout>();
            case FrameFormat::kXrgb: return PackedRows<XrgbLayout>();
            case FrameFormat::kXbgr: return PackedRows<XbgrLayout>();
            case FrameFormat::kI420:
            case FrameFormat::kNv12:
            case FrameFormat::kNv21:
            case FrameFormat::kP010:
            case FrameFormat::kI420p10: return PlanarRows();
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

    uint8_t BackLuma() const { return static_cast<uint8_t>(LumaOf(back_)); }
    uint8_t BackU() const { return static_cast<uint8_t>(ChromaUOf(back_)); }
    uint8_t BackV() const { return static_cast<uint8_t>(ChromaVOf(back_)); }

    // The background in the layout's bytes, a pixel (or macropixel) a period.
    template <class Layout>
    Pattern PackedPattern() const {
        uint8_t t[4] = {}, keep[4] = {};
        if constexpr (Layout::kPairs) {
            t[Layout::kY0] = t[Layout::kY1] = BackLuma(), t[Layout::kU] = BackU(), t[Layout::kV] = BackV();
            return Repeating(t, keep, 4, weight_);
        } else {
            t[Layout::kB] = back_ & 0xFF, t[Layout::kG] = (back_ >> 8) & 0xFF, t[Layout::kR] = (back_ >> 16) & 0xFF;
            if (Layout::kPixelBytes == 4) keep[Layout::kKept] = 1;
            return Repeating(t, keep, Layout::kPixelBytes, weight_);
        }
    }

    template <class Layout>
    void PackedRows() {
        patterns_[0] = PackedPattern<Layout>();
        for (int32_t y = top_; y < bottom_; ++y) PackedRow<Layout>(y);
    }

    void PlanarRows() {
        const BlockFormat& f = blocks_;
        const int32_t sample = f.sampleBytes;
        const uint8_t none[4] = {};
        uint8_t yuv[6] = {};  // Y, then the chroma in the order of plane 1, a sample each
        f.putTarget(yuv, BackLuma());
        f.putTarget(yuv + sample, VFirst() ? BackV() : BackU());
        f.putTarget(yuv + 2 * sample, VFirst() ? BackU() : BackV());
        patterns_[0] = Repeating(yuv, none, sample, weight_);
        patterns_[1] = Repeating(yuv + sample, none, f.interleaved ? 2 * sample : sample, weight_);
        patterns_[2] = Repeating(yuv + 2 * sample, none, sample, weight_);
        for (int32_t row = top_ & ~1; row < bottom_; row += 2) BlockRow(row);
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

    // The macropixel of columns x, x + 1 of row y with only the pixel in
    // slot inside the rectangle. The targets keep that pixel's luma and
    // chroma in the macropixel's bytes (its own luma where it lies).
    template <class Layout>
    void EdgeMacropixel(uint8_t* row, uint8_t* targetRow, int32_t x, int slot, int32_t y) {
        const int luma = slot ? Layout::kY1 : Layout::kY0;
        if (targetRow && !writesTargets_) {
            const uint8_t* t = targetRow + x * 2;
            return MixHalfMacropixel<Layout>(row + x * 2, slot, t[luma], t[Layout::kU], t[Layout::kV], weight_);
        }
        const uint32_t c = ColourAt(x + slot, y);
        if (writesTargets_) {
            uint8_t* t = targetRow + x * 2;
            t[luma] = static_cast<uint8_t>(LumaOf(c));
            t[Layout::kU] = static_cast<uint8_t>(ChromaUOf(c)), t[Layout::kV] = static_cast<uint8_t>(ChromaVOf(c));
            return;
        }
        if (slot)
            MixMacropixel<Layout>(row + x * 2, 0, true, c, c == key_, weight_);
        else
            MixMacropixel<Layout>(row + x * 2, c, c == key_, 0, true, weight_);
    }

    template <class Layout>
    void PackedRow(int32_t y) {
        uint8_t* row = PlaneRow(0, y);
        constexpr int32_t bpp = Layout::kPixelBytes, perCall = Layout::kPairs ? 2 : 1;
        int32_t lo = left_, hi = right_;
        uint8_t* const targetRow = targets_ ? RowOf(*targets_, 0, y) : nullptr;
        if constexpr (Layout::kPairs) {
            // An edge macropixel's slot outside the rectangle is transparent.
            if (lo & 1) EdgeMacropixel<Layout>(row, targetRow, lo - 1, 1, y), ++lo;
            if (hi & 1 && hi > lo) --hi, EdgeMacropixel<Layout>(row, targetRow, hi, 0, y);
        }
        if (lo >= hi) return;
        const PixelSpan span = spans_.*Layout::kSpan;
        CutRow(
            Segments(y, lo, hi), {}, Layout::kPairs, lo, hi,
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

    bool VFirst() const { return job_.frame.format == FrameFormat::kNv21; }

    // The chroma of block row y / 2 of a frame laid out as the job's: the U
    // and V of its first block, and the first sample of plane 1.
    struct ChromaRow {
        uint8_t *u, *v, *first;
    };
    ChromaRow ChromaOf(const FrameView& frame, int32_t y) const {
        uint8_t* first = RowOf(frame, 1, y / 2);
        if (!blocks_.interleaved) return {first, RowOf(frame, 2, y / 2), first};
        const int32_t s = blocks_.sampleBytes;
        return VFirst() ? ChromaRow{first + s, first, first} : ChromaRow{first, first + s, first};
    }

    // Frame rows y and y + 1 (y even): whole block rows through the spans,
    // a row cut by the rectangle or the frame block by block here.
    void BlockRow(int32_t y) {
        const BlockFormat& f = blocks_;
        const int32_t s = f.sampleBytes, chromaStep = f.interleaved ? 2 * s : s;  // bytes a block
        uint8_t* luma[2] = {PlaneRow(0, y), y + 1 < bottom_ ? PlaneRow(0, y + 1) : nullptr};
        const ChromaRow chroma = ChromaOf(job_.frame, y);
        uint8_t *const u = chroma.u, *const v = chroma.v;
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
        ChromaRow t = {};
        if (targets_) tl[0] = RowOf(*targets_, 0, y), tl[1] = RowOf(*targets_, 0, y + 1), t = ChromaOf(*targets_, y);
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
                                          .u = t.u + cl,
                                          .v = t.v + cl,
                                          .canvas0 = CanvasAt(l, y),
                                          .canvas1 = CanvasAt(l, y + 1)};
                    f.blocks(at, (r - l) / 2, weight_, key_);
                } else if (targets_) {
                    f.target(luma[0] + lumaBytes(l), tl[0] + lumaBytes(l), lumaBytes(r - l), weight_);
                    f.target(luma[1] + lumaBytes(l), tl[1] + lumaBytes(l), lumaBytes(r - l), weight_);
                    f.target(chroma.first + cl, t.first + cl, cn, weight_);
                    if (!f.interleaved) f.target(v + cl, t.v + cl, cn, weight_);
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
                f.constant(chroma.first + cl, cn, weight_, patterns_[1], 0);
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
