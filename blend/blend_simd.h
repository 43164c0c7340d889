// The SIMD spans, written once over Ops: a vector of 32-bit lanes, each
// holding one canvas pixel, one frame pixel, one 4:2:2 macropixel or one
// 4:2:0 block. blend_sse2.cpp and blend_avx2.cpp include this under their
// own target and instantiate it with their Ops; remainders shorter than a
// vector go to the reference spans (but for the constant span's, mixed in
// its last whole vector). Include only inside such a target.
#pragma once

#include <cstdint>

#include "blend/blend_spans.h"
#include "blend/frame_view.h"

namespace blend::simd {

// The 10-bit formats' spans, in blend_simd_words.h, which the paths
// include in this header's stead.
template <class Ops, FrameFormat kFormat>
struct SimdWordSpans;

template <class Ops>
struct SimdSpans {
    using V = typename Ops::V;
    static constexpr int kLanes = Ops::kLanes;
    static constexpr int kBytes = kLanes * 4;

    static V Splat(uint32_t x) { return Ops::Set1(x); }
    static V Select(V mask, V ifSet, V ifClear) { return Ops::Or(Ops::And(mask, ifSet), Ops::AndNot(mask, ifClear)); }
    static V Clear(V pixels, V key) { return Ops::CmpEq(Ops::And(pixels, Splat(0xFFFFFF)), key); }
    static V Average(V a, V b) {
        return Ops::Add(Ops::And(a, b), Ops::And(Ops::template Srli<1>(Ops::Xor(a, b)), Splat(0x7F7F7F7F)));
    }

    // b * blue + g * green + r * red of each pixel (16-bit coefficients).
    static V WeightedSum(V pixels, int16_t b, int16_t g, int16_t r) {
        const V blueRed = Ops::And(pixels, Splat(0x00FF00FF));
        const V green = Ops::And(Ops::template Srli<8>(pixels), Splat(0xFF));
        const V blueRedCoefficients = Splat(uint16_t(b) | uint32_t(uint16_t(r)) << 16);
        return Ops::Add(Ops::Madd(blueRed, blueRedCoefficients), Ops::Madd(green, Splat(uint16_t(g))));
    }
    static V Luma(V pixels) { return Ops::template Srai<8>(WeightedSum(pixels, 29, 150, 77)); }
    static V ChromaU(V pixels) {
        return Ops::Add(Ops::template Srai<8>(WeightedSum(pixels, 128, -85, -43)), Splat(128));
    }
    static V ChromaV(V pixels) {
        return Ops::Add(Ops::template Srai<8>(WeightedSum(pixels, -21, -107, 128)), Splat(128));
    }

    // With the key off (its top byte set) no pixel is transparent, and the
    // spans below leave out every key test.
    static bool KeyOn(uint32_t key) { return (key >> 24) == 0; }

    // Byte kFrom of each lane moved to byte kTo, the others zero. A left
    // shift into the top byte, or a right one out of it, needs no mask.
    template <int kFrom, int kTo>
    static V MoveByte(V pixels) {
        constexpr uint32_t mask = 0xFFu << (8 * kTo);
        if constexpr (kTo == kFrom) {
            return Ops::And(pixels, Splat(mask));
        } else if constexpr (kTo > kFrom) {
            const V moved = Ops::template Slli<8 * (kTo - kFrom)>(pixels);
            return kTo == 3 ? moved : Ops::And(moved, Splat(mask));
        } else {
            return Ops::And(Ops::template Srli<8 * (kFrom - kTo)>(pixels), Splat(mask));
        }
    }
    // Canvas lanes (B, G, R, x) in the frame's byte order; the kept byte's
    // value is of no account, as it is never stored. BGRx takes them as they
    // are, xBGR shifted whole; the other orders are shuffled where Ops has a
    // byte shuffle, else moved byte by byte.
    template <class Layout>
    static V InFrameOrder(V pixels) {
        if constexpr (Layout::kB == 0 && Layout::kG == 1 && Layout::kR == 2) {
            return pixels;
        } else if constexpr (Layout::kG == Layout::kB + 1 && Layout::kR == Layout::kB + 2) {
            return Ops::template Slli<8 * Layout::kB>(pixels);
        } else if constexpr (Ops::kByteShuffle) {
            return Ops::ShuffleLanes(pixels,
                                     0x80u << (8 * Layout::kKept) | 1u << (8 * Layout::kG) | 2u << (8 * Layout::kR));
        } else {
            return Ops::Or(Ops::Or(MoveByte<0, Layout::kB>(pixels), MoveByte<1, Layout::kG>(pixels)),
                           MoveByte<2, Layout::kR>(pixels));
        }
    }

    // Every RGB layout, 3 bytes a pixel or 4: the frame as one pixel a lane;
    // a fourth byte never moves.
    template <class Layout, bool kKeyed>
    static int32_t RgbLoop(uint8_t*& frame, const uint8_t*& canvas, int32_t count, int32_t weight, uint32_t key) {
        constexpr int kPixelBytes = Layout::kPixelBytes;
        const V weight16 = Ops::Weight16(weight), keyLanes = Splat(key);
        const V kept = Splat(0xFFu << (8 * Layout::kKept));
        int32_t i = 0;
        for (; i + kLanes <= count; i += kLanes, canvas += kBytes, frame += kLanes * kPixelBytes) {
            const V pixels = Ops::Load(canvas);
            V keep = kept;
            if (kKeyed) {
                const V clear = Clear(pixels, keyLanes);
                if (Ops::AllSet(clear)) continue;
                keep = Ops::Or(clear, kept);
            }
            const V f = kPixelBytes == 3 ? Ops::LoadBgr(frame) : Ops::Load(frame);
            const V out = Select(keep, f, Ops::MixBytes(f, InFrameOrder<Layout>(pixels), weight16));
            if (kPixelBytes == 3)
                Ops::StoreBgr(frame, out);
            else
                Ops::Store(frame, out);
        }
        return i;
    }
    template <class Layout>
    static void Rgb(uint8_t* frame, const uint8_t* canvas, int32_t count, int32_t weight, uint32_t key) {
        const int32_t done = KeyOn(key) ? RgbLoop<Layout, true>(frame, canvas, count, weight, key)
                                        : RgbLoop<Layout, false>(frame, canvas, count, weight, key);
        (ReferenceSpans().*Layout::kSpan)(frame, canvas, count - done, weight, key);
    }

    // Byte k of each lane, and a byte a lane put at byte k; no shift by 0
    // and no mask the shift makes needless.
    template <int k>
    static V ByteOf(V lanes) {
        if constexpr (k == 0)
            return Ops::And(lanes, Splat(0xFF));
        else if constexpr (k == 3)
            return Ops::template Srli<24>(lanes);
        else
            return Ops::And(Ops::template Srli<8 * k>(lanes), Splat(0xFF));
    }
    template <int k>
    static V AtByte(V lanes) {
        if constexpr (k == 0)
            return lanes;
        else
            return Ops::template Slli<8 * k>(lanes);
    }

    template <class Layout, bool kKeyed>
    static int32_t MacropixelLoop(uint8_t*& frame, const uint8_t*& canvas, int32_t count, int32_t weight,
                                  uint32_t key) {
        const V weight16 = Ops::Weight16(weight), keyLanes = Splat(key);
        int32_t i = 0;
        for (; i + kLanes <= count; i += kLanes, canvas += 2 * kBytes, frame += kBytes) {
            const V first = Ops::Load(canvas), second = Ops::Load(canvas + kBytes);
            // Lane k of each vector below belongs to macropixel k.
            const V left = Ops::Even(first, second), right = Ops::Odd(first, second);
            const V f = Ops::Load(frame);
            const V average = Average(left, right);
            V targetY0 = Luma(left), targetY1 = Luma(right), targetU = ChromaU(average), targetV = ChromaV(average);
            if (kKeyed) {
                const V clearFirst = Clear(first, keyLanes), clearSecond = Clear(second, keyLanes);
                if (Ops::AllSet(Ops::And(clearFirst, clearSecond))) continue;
                const V clearLeft = Ops::Even(clearFirst, clearSecond);
                const V clearRight = Ops::Odd(clearFirst, clearSecond);
                const V y0 = ByteOf<Layout::kY0>(f), u = ByteOf<Layout::kU>(f);
                const V y1 = ByteOf<Layout::kY1>(f), v = ByteOf<Layout::kV>(f);
                // One slot covered: halfway between its pixel's chroma and
                // the frame's; none: the frame's.
                const V single = Select(clearLeft, right, left);
                const V one = Ops::Xor(clearLeft, clearRight), none = Ops::And(clearLeft, clearRight);
                const V halfU = Ops::template Srli<1>(Ops::Add(ChromaU(single), u));
                const V halfV = Ops::template Srli<1>(Ops::Add(ChromaV(single), v));
                targetU = Select(none, u, Select(one, halfU, targetU));
                targetV = Select(none, v, Select(one, halfV, targetV));
                targetY0 = Select(clearLeft, y0, targetY0), targetY1 = Select(clearRight, y1, targetY1);
            }
            const V target = Ops::Or(Ops::Or(AtByte<Layout::kY0>(targetY0), AtByte<Layout::kU>(targetU)),
                                     Ops::Or(AtByte<Layout::kY1>(targetY1), AtByte<Layout::kV>(targetV)));
            Ops::Store(frame, Ops::MixBytes(f, target, weight16));
        }
        return i;
    }
    template <class Layout>
    static void Macropixels(uint8_t* frame, const uint8_t* canvas, int32_t count, int32_t weight, uint32_t key) {
        const int32_t done = KeyOn(key) ? MacropixelLoop<Layout, true>(frame, canvas, count, weight, key)
                                        : MacropixelLoop<Layout, false>(frame, canvas, count, weight, key);
        (ReferenceSpans().*Layout::kSpan)(frame, canvas, count - done, weight, key);
    }

    // A byte a lane (its upper bytes zero) moved toward t: the floor form
    // (f * (256 - w) + t * w) >> 8 fits the low 16 bits of each lane.
    struct LaneWeights {
        V weight, rest;
    };
    static LaneWeights LaneWeightsOf(int32_t weight) { return {Ops::Set1Words(weight), Ops::Set1Words(256 - weight)}; }
    static V MixLanes(V f, V t, const LaneWeights& w) {
        return Ops::template Srli<8>(Ops::Add(Ops::MulLo16(f, w.rest), Ops::MulLo16(t, w.weight)));
    }

    static void MixLuma(uint8_t* luma, V pixels, V clear, const LaneWeights& w) {
        const V f = Ops::LoadBytes(luma);
        Ops::StoreBytes(luma, Select(clear, f, MixLanes(f, Luma(pixels), w)));
    }

    // The chroma target of blend_math.h's BlockChromaTarget.
    static V ChromaTarget(V c, V f, V covered) {
        return Ops::template Srli<2>(Ops::Add(Ops::MulLo16(c, covered), Ops::MulLo16(f, Ops::Sub(Splat(4), covered))));
    }

    // The canvas over kLanes blocks from BlockRows: the top row's pixels
    // and the bottom row's, two vectors each, with their key tests.
    // Without the key every clear mask is zero, and the selects on them
    // fold away.
    struct BlockCanvas {
        V t0, t1, b0, b1;
        V ct0, ct1, cb0, cb1;
        bool AllClear() const { return Ops::AllSet(Ops::And(Ops::And(ct0, ct1), Ops::And(cb0, cb1))); }
    };
    template <bool kKeyed>
    static BlockCanvas LoadBlockCanvas(const BlockRows& at, V keyLanes) {
        BlockCanvas c;
        c.t0 = Ops::Load(at.canvas0), c.t1 = Ops::Load(at.canvas0 + kBytes);
        c.b0 = Ops::Load(at.canvas1), c.b1 = Ops::Load(at.canvas1 + kBytes);
        const V none = Splat(0);
        c.ct0 = kKeyed ? Clear(c.t0, keyLanes) : none, c.ct1 = kKeyed ? Clear(c.t1, keyLanes) : none;
        c.cb0 = kKeyed ? Clear(c.b0, keyLanes) : none, c.cb1 = kKeyed ? Clear(c.b1, keyLanes) : none;
        return c;
    }
    // Lane k belongs to block k: the colour of its covered pixels (each
    // row's averaged, then the two rows) and how many are covered.
    struct BlockColour {
        V colour, covered;
    };
    static BlockColour BlockColourOf(const BlockCanvas& c) {
        const V topLeft = Ops::Even(c.t0, c.t1), topRight = Ops::Odd(c.t0, c.t1);
        const V bottomLeft = Ops::Even(c.b0, c.b1), bottomRight = Ops::Odd(c.b0, c.b1);
        const V clearTL = Ops::Even(c.ct0, c.ct1), clearTR = Ops::Odd(c.ct0, c.ct1);
        const V clearBL = Ops::Even(c.cb0, c.cb1), clearBR = Ops::Odd(c.cb0, c.cb1);
        const V top = Select(clearTL, topRight, Select(clearTR, topLeft, Average(topLeft, topRight)));
        const V bottom = Select(clearBL, bottomRight, Select(clearBR, bottomLeft, Average(bottomLeft, bottomRight)));
        const V colour = Select(Ops::And(clearTL, clearTR), bottom,
                                Select(Ops::And(clearBL, clearBR), top, Average(top, bottom)));
        // Each clear lane is -1: four plus their sum counts the covered.
        return {colour, Ops::Add(Splat(4), Ops::Add(Ops::Add(clearTL, clearTR), Ops::Add(clearBL, clearBR)))};
    }

    // Interleaved chroma pairs start at u, or with kVFirst at v.
    template <bool kInterleaved, bool kVFirst, bool kKeyed>
    static int32_t BlockLoop(BlockRows& at, int32_t count, int32_t weight, uint32_t key) {
        const LaneWeights lanes = LaneWeightsOf(weight);
        const V keyLanes = Splat(key);
        int32_t i = 0;
        for (; i + kLanes <= count; i += kLanes) {
            const BlockCanvas c = LoadBlockCanvas<kKeyed>(at, keyLanes);
            if (!kKeyed || !c.AllClear()) {
                MixLuma(at.luma0, c.t0, c.ct0, lanes);
                MixLuma(at.luma0 + kLanes, c.t1, c.ct1, lanes);
                MixLuma(at.luma1, c.b0, c.cb0, lanes);
                MixLuma(at.luma1 + kLanes, c.b1, c.cb1, lanes);

                const BlockColour b = BlockColourOf(c);
                uint8_t* const pairsAt = kVFirst ? at.v : at.u;
                V u, v;
                if (kInterleaved) {
                    const V pairs = Ops::LoadPairs(pairsAt), first = Ops::And(pairs, Splat(0xFF));
                    const V second = Ops::template Srli<8>(pairs);
                    u = kVFirst ? second : first, v = kVFirst ? first : second;
                } else {
                    u = Ops::LoadBytes(at.u), v = Ops::LoadBytes(at.v);
                }
                const V outU = MixLanes(u, ChromaTarget(ChromaU(b.colour), u, b.covered), lanes);
                const V outV = MixLanes(v, ChromaTarget(ChromaV(b.colour), v, b.covered), lanes);
                if (kInterleaved) {
                    Ops::StorePairs(pairsAt, kVFirst ? Ops::Or(outV, Ops::template Slli<8>(outU))
                                                     : Ops::Or(outU, Ops::template Slli<8>(outV)));
                } else {
                    Ops::StoreBytes(at.u, outU);
                    Ops::StoreBytes(at.v, outV);
                }
            }
            at.luma0 += 2 * kLanes, at.luma1 += 2 * kLanes;
            at.u += kInterleaved ? 2 * kLanes : kLanes, at.v += kInterleaved ? 2 * kLanes : kLanes;
            at.canvas0 += 2 * kBytes, at.canvas1 += 2 * kBytes;
        }
        return i;
    }
    template <bool kInterleaved, bool kVFirst, BlockSpan Spans::*kSpan>
    static void Blocks(const BlockRows& rows, int32_t count, int32_t weight, uint32_t key) {
        BlockRows at = rows;
        const int32_t done = KeyOn(key) ? BlockLoop<kInterleaved, kVFirst, true>(at, count, weight, key)
                                        : BlockLoop<kInterleaved, kVFirst, false>(at, count, weight, key);
        (ReferenceSpans().*kSpan)(at, count - done, weight, key);
    }

    // Whole cycles of the pattern three vectors at a time with the pattern
    // in registers (48 or 96 bytes, a multiple of every period), then vector
    // after vector, its phase moving along; a tail shorter than a vector is
    // mixed in the last whole vector of the span, the bytes already done
    // left as they are. Full opacity needs no multiply.
    static void Constant(uint8_t* frame, int32_t bytes, int32_t weight, const Pattern& pattern, int32_t phase) {
        if (bytes < kBytes) return ReferenceSpans().constant(frame, bytes, weight, pattern, phase);
        const bool fill = weight >= 256;
        int32_t i = phase == 0 ? (fill ? FillCycles(frame, bytes, pattern) : MixCycles(frame, bytes, pattern)) : 0;
        for (; i + kBytes <= bytes; i += kBytes) {
            Ops::Store(frame + i, ConstantVector(Ops::Load(frame + i), pattern, phase, fill));
            phase += kBytes;
            if (phase >= kPatternCycle) phase -= kPatternCycle;
        }
        if (i == bytes) return;
        const int32_t start = bytes - kBytes, done = i - start;
        const V f = Ops::Load(frame + start);
        phase -= done;
        if (phase < 0) phase += kPatternCycle;
        Ops::Store(frame + start, Select(Ops::BytesFrom(done), ConstantVector(f, pattern, phase, fill), f));
    }

    // (f * rest + product) >> 8 in 16 bits; or at full opacity the target.
    static V ConstantVector(V f, const Pattern& pattern, int32_t phase, bool fill) {
        if (fill) return Select(Ops::ByteMask(Ops::Load(pattern.keep + phase)), f, Ops::Load(pattern.target + phase));
        return MixWords(f, Ops::LoadWords(pattern.rest + phase, 0), Ops::LoadWords(pattern.product + phase, 0),
                        Ops::LoadWords(pattern.rest + phase, 1), Ops::LoadWords(pattern.product + phase, 1));
    }
    static V MixWords(V f, V restLow, V productLow, V restHigh, V productHigh) {
        const V low = Ops::Add16(Ops::MulLo16(Ops::Widen(f, 0), restLow), productLow);
        const V high = Ops::Add16(Ops::MulLo16(Ops::Widen(f, 1), restHigh), productHigh);
        return Ops::Narrow(Ops::template Srli16<8>(low), Ops::template Srli16<8>(high));
    }

    // The bytes done.
    static int32_t MixCycles(uint8_t* frame, int32_t bytes, const Pattern& pattern) {
        V rest[6], product[6];
        for (int k = 0; k < 3; ++k)
            for (int half = 0; half < 2; ++half) {
                rest[2 * k + half] = Ops::LoadWords(pattern.rest + k * kBytes, half);
                product[2 * k + half] = Ops::LoadWords(pattern.product + k * kBytes, half);
            }
        int32_t i = 0;
        for (; i + 3 * kBytes <= bytes; i += 3 * kBytes)
            for (int k = 0; k < 3; ++k) {
                uint8_t* p = frame + i + k * kBytes;
                Ops::Store(p, MixWords(Ops::Load(p), rest[2 * k], product[2 * k], rest[2 * k + 1], product[2 * k + 1]));
            }
        return i;
    }
    static int32_t FillCycles(uint8_t* frame, int32_t bytes, const Pattern& pattern) {
        V target[3], keep[3];
        bool keeps = false;
        for (int k = 0; k < 3; ++k) {
            target[k] = Ops::Load(pattern.target + k * kBytes);
            keep[k] = Ops::ByteMask(Ops::Load(pattern.keep + k * kBytes));
            keeps = keeps || !Ops::AllClear(keep[k]);
        }
        int32_t i = 0;
        for (; i + 3 * kBytes <= bytes; i += 3 * kBytes)
            for (int k = 0; k < 3; ++k) {
                uint8_t* p = frame + i + k * kBytes;
                Ops::Store(p, keeps ? Select(keep[k], Ops::Load(p), target[k]) : target[k]);
            }
        return i;
    }

    // Whole vectors; the last one, which may overlap the one before, is
    // mixed from the bytes as they were and stored last, so no byte moves
    // twice.
    static void Target(uint8_t* frame, const uint8_t* target, int32_t bytes, int32_t weight) {
        if (bytes < kBytes) return ReferenceSpans().target(frame, target, bytes, weight);
        if (weight >= 256) return CopyBytes(frame, target, bytes);  // full opacity: the targets as they are
        const V weight16 = Ops::Weight16(weight);
        const int32_t end = bytes - kBytes;
        const V last = Ops::MixBytes(Ops::Load(frame + end), Ops::Load(target + end), weight16);
        for (int32_t i = 0; i < end; i += kBytes)
            Ops::Store(frame + i, Ops::MixBytes(Ops::Load(frame + i), Ops::Load(target + i), weight16));
        Ops::Store(frame + end, last);
    }

    static void CopyBytes(uint8_t* to, const uint8_t* from, int32_t bytes) {
        int32_t i = 0;
        for (; i + kBytes <= bytes; i += kBytes) Ops::Store(to + i, Ops::Load(from + i));
        Ops::Store(to + bytes - kBytes, Ops::Load(from + bytes - kBytes));
    }

    static constexpr Spans kSpans = {.bgr = Rgb<BgrLayout>,
                                     .bgrx = Rgb<BgrxLayout>,
                                     .yuy2 = Macropixels<Yuy2Layout>,
                                     .i420 = Blocks<false, false, &Spans::i420>,
                                     .nv12 = Blocks<true, false, &Spans::nv12>,
                                     .constant = Constant,
                                     .target = Target,
                                     .rgbx = Rgb<RgbxLayout>,
                                     .xrgb = Rgb<XrgbLayout>,
                                     .xbgr = Rgb<XbgrLayout>,
                                     .uyvy = Macropixels<UyvyLayout>,
                                     .nv21 = Blocks<true, true, &Spans::nv21>,
                                     .p010 = SimdWordSpans<Ops, FrameFormat::kP010>::kSpans,
                                     .i420p10 = SimdWordSpans<Ops, FrameFormat::kI420p10>::kSpans};
};

}  // namespace blend::simd
