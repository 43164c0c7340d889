// The SIMD spans of the 10-bit formats (blend_words.h), over the Ops of
// blend_simd.h: the block span a block a 32-bit lane as there, the
// constant and target spans a word a 16-bit lane. A 10-bit sample times a
// weight overflows 16 bits, so a sample f and its target t go into one
// 32-bit lane as the words (f, t), and Madd with (256 - w, w) gives
// f * (256 - w) + t * w, whose >> 8 is MixSample's value. Include only
// inside a SIMD target, as blend_simd.h.
#pragma once

#include <cstdint>
#include <type_traits>

#include "blend/blend_simd.h"
#include "blend/blend_words.h"

namespace blend::simd {

template <class Ops, FrameFormat kFormat>
struct SimdWordSpans {
    static_assert(kFormat == FrameFormat::kP010 || kFormat == FrameFormat::kI420p10);
    static constexpr bool kInterleaved = kFormat == FrameFormat::kP010;
    using S = std::conditional_t<kInterleaved, P010Samples, I420p10Samples>;
    using Base = SimdSpans<Ops>;
    using V = typename Ops::V;
    static constexpr int kLanes = Ops::kLanes;
    static constexpr int kBytes = kLanes * 4;
    static constexpr int kShift = S::kBit;

    static const WordSpans& Reference() { return kInterleaved ? ReferenceSpans().p010 : ReferenceSpans().i420p10; }

    static V Coefficients(int32_t weight) {
        return Ops::Set1(static_cast<uint32_t>(256 - weight) | static_cast<uint32_t>(weight) << 16);
    }

    // A word a 32-bit lane: its sample, and the word with another sample.
    static V SampleOf(V words) { return Ops::And(Ops::template Srli<kShift>(words), Ops::Set1(S::kMax)); }
    static V WithSample(V words, V samples) {
        return Ops::Or(Ops::And(words, Ops::Set1(~S::kMask & 0xFFFF)), Ops::template Slli<kShift>(samples));
    }
    static V MixLanes(V f, V t, V coefficients) {
        return Ops::template Srli<8>(Ops::Madd(Ops::Or(f, Ops::template Slli<16>(t)), coefficients));
    }

    static void MixLuma(uint8_t* luma, V pixels, V clear, V coefficients) {
        const V words = Ops::LoadPairs(luma);
        const V mixed = MixLanes(SampleOf(words), Ops::template Slli<2>(Base::Luma(pixels)), coefficients);
        Ops::StorePairs(luma, Base::Select(clear, words, WithSample(words, mixed)));
    }
    static V MixChroma(V words, V chroma, V covered, V coefficients) {
        const V f = SampleOf(words);
        const V t = Base::ChromaTarget(Ops::template Slli<2>(chroma), f, covered);
        return WithSample(words, MixLanes(f, t, coefficients));
    }

    template <bool kKeyed>
    static int32_t BlockLoop(BlockRows& at, int32_t count, int32_t weight, uint32_t key) {
        const V coefficients = Coefficients(weight), keyLanes = Ops::Set1(key);
        constexpr int32_t kChromaBytes = kInterleaved ? 4 * kLanes : 2 * kLanes;
        int32_t i = 0;
        for (; i + kLanes <= count; i += kLanes) {
            const typename Base::BlockCanvas c = Base::template LoadBlockCanvas<kKeyed>(at, keyLanes);
            if (!kKeyed || !c.AllClear()) {
                MixLuma(at.luma0, c.t0, c.ct0, coefficients);
                MixLuma(at.luma0 + 2 * kLanes, c.t1, c.ct1, coefficients);
                MixLuma(at.luma1, c.b0, c.cb0, coefficients);
                MixLuma(at.luma1 + 2 * kLanes, c.b1, c.cb1, coefficients);

                const typename Base::BlockColour b = Base::BlockColourOf(c);
                V u, v;
                if (kInterleaved) {
                    const V pairs = Ops::Load(at.u);
                    u = Ops::And(pairs, Ops::Set1(0xFFFF)), v = Ops::template Srli<16>(pairs);
                } else {
                    u = Ops::LoadPairs(at.u), v = Ops::LoadPairs(at.v);
                }
                const V outU = MixChroma(u, Base::ChromaU(b.colour), b.covered, coefficients);
                const V outV = MixChroma(v, Base::ChromaV(b.colour), b.covered, coefficients);
                if (kInterleaved) {
                    Ops::Store(at.u, Ops::Or(outU, Ops::template Slli<16>(outV)));
                } else {
                    Ops::StorePairs(at.u, outU);
                    Ops::StorePairs(at.v, outV);
                }
            }
            at.luma0 += 4 * kLanes, at.luma1 += 4 * kLanes;
            at.u += kChromaBytes, at.v += kChromaBytes;
            at.canvas0 += 2 * kBytes, at.canvas1 += 2 * kBytes;
        }
        return i;
    }
    static void Blocks(const BlockRows& rows, int32_t count, int32_t weight, uint32_t key) {
        BlockRows at = rows;
        const int32_t done = Base::KeyOn(key) ? BlockLoop<true>(at, count, weight, key)
                                              : BlockLoop<false>(at, count, weight, key);
        Reference().blocks(at, count - done, weight, key);
    }

    // A vector of words f, each moved toward the sample of the word of
    // other at its index.
    static V MixWords(V f, V other, V coefficients) {
        const V mask = Ops::Set1Words(S::kMax);
        const V fs = Ops::And(Ops::template Srli16<kShift>(f), mask);
        const V ts = Ops::And(Ops::template Srli16<kShift>(other), mask);
        const V low = Ops::template Srli<8>(Ops::Madd(Ops::InterleaveWords(fs, ts, 0), coefficients));
        const V high = Ops::template Srli<8>(Ops::Madd(Ops::InterleaveWords(fs, ts, 1), coefficients));
        const V kept = Ops::And(f, Ops::Set1Words(~S::kMask & 0xFFFF));
        return Ops::Or(kept, Ops::template Slli16<kShift>(Ops::PackWords(low, high)));
    }

    // Whole vectors, the pattern's phase moving along; the rest, shorter
    // than a vector, on the reference.
    static void Constant(uint8_t* frame, int32_t bytes, int32_t weight, const Pattern& pattern, int32_t phase) {
        const V coefficients = Coefficients(weight);
        int32_t i = 0;
        for (; i + kBytes <= bytes; i += kBytes) {
            Ops::Store(frame + i, MixWords(Ops::Load(frame + i), Ops::Load(pattern.target + phase), coefficients));
            phase += kBytes;
            if (phase >= kPatternCycle) phase -= kPatternCycle;
        }
        Reference().constant(frame + i, bytes - i, weight, pattern, phase);
    }

    static void Target(uint8_t* frame, const uint8_t* target, int32_t bytes, int32_t weight) {
        const V coefficients = Coefficients(weight);
        int32_t i = 0;
        for (; i + kBytes <= bytes; i += kBytes)
            Ops::Store(frame + i, MixWords(Ops::Load(frame + i), Ops::Load(target + i), coefficients));
        Reference().target(frame + i, target + i, bytes - i, weight);
    }

    static constexpr WordSpans kSpans = {Blocks, Constant, Target};
};

}  // namespace blend::simd
