// SSE2 kernels: four pixels (RGB24) or four macropixels (YUY2) per step,
// in 16-bit lanes. The weight is kept times 16 and the difference shifted
// left by 4, so the high half of the signed 16 x 16 product is exactly
// floor((t - f) * weight / 256). Remainders go through the reference spans.
#include <emmintrin.h>

#include <cstring>

#include "overlay/blend.h"
#include "overlay/blend_walk.h"

#define TPP_SSE2 __attribute__((target("sse2")))

namespace {

TPP_SSE2 inline __m128i Load12(const uint8_t* p) {
    uint32_t tail;
    std::memcpy(&tail, p + 8, 4);
    return _mm_or_si128(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)),
                        _mm_slli_si128(_mm_cvtsi32_si128(static_cast<int>(tail)), 8));
}

TPP_SSE2 inline void Store12(uint8_t* p, __m128i v) {
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p), v);
    const uint32_t tail = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(v, 8)));
    std::memcpy(p + 8, &tail, 4);
}

// Four 4-byte pixels B, G, R, X to twelve bytes B, G, R.
TPP_SSE2 inline __m128i PackBgr(__m128i v) {
    const __m128i low = _mm_set_epi32(0, 0xFFFFFF, 0, 0xFFFFFF);
    const __m128i high = _mm_set_epi32(0xFFFFFF, 0, 0xFFFFFF, 0);
    const __m128i six = _mm_or_si128(_mm_and_si128(v, low), _mm_srli_epi64(_mm_and_si128(v, high), 8));
    const __m128i firstHalf = _mm_set_epi32(0, 0, 0xFFFF, static_cast<int>(0xFFFFFFFF));
    const __m128i secondHalf = _mm_set_epi32(0xFFFF, static_cast<int>(0xFFFFFFFF), 0, 0);
    return _mm_or_si128(_mm_and_si128(six, firstHalf), _mm_srli_si128(_mm_and_si128(six, secondHalf), 2));
}

// Sixteen bytes f moved toward t by weight16 / 4096.
TPP_SSE2 inline __m128i MixBytes(__m128i f, __m128i t, __m128i weight16) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i fLow = _mm_unpacklo_epi8(f, zero), fHigh = _mm_unpackhi_epi8(f, zero);
    const __m128i dLow = _mm_slli_epi16(_mm_sub_epi16(_mm_unpacklo_epi8(t, zero), fLow), 4);
    const __m128i dHigh = _mm_slli_epi16(_mm_sub_epi16(_mm_unpackhi_epi8(t, zero), fHigh), 4);
    return _mm_packus_epi16(_mm_add_epi16(fLow, _mm_mulhi_epi16(dLow, weight16)),
                            _mm_add_epi16(fHigh, _mm_mulhi_epi16(dHigh, weight16)));
}

TPP_SSE2 inline __m128i Select(__m128i mask, __m128i ifSet, __m128i ifClear) {
    return _mm_or_si128(_mm_and_si128(mask, ifSet), _mm_andnot_si128(mask, ifClear));
}

TPP_SSE2 inline __m128i TransparentLanes(__m128i pixels, __m128i key) {
    return _mm_cmpeq_epi32(_mm_and_si128(pixels, _mm_set1_epi32(0xFFFFFF)), key);
}

// Sixteen canvas pixels (four vectors) to 48 bytes B, G, R in three vectors.
struct Bgr48 {
    __m128i v0, v1, v2;
};

TPP_SSE2 inline Bgr48 PackBgr48(__m128i a, __m128i b, __m128i c, __m128i d) {
    const __m128i pa = PackBgr(a), pb = PackBgr(b), pc = PackBgr(c), pd = PackBgr(d);
    return {_mm_or_si128(pa, _mm_slli_si128(pb, 12)), _mm_or_si128(_mm_srli_si128(pb, 4), _mm_slli_si128(pc, 8)),
            _mm_or_si128(_mm_srli_si128(pc, 8), _mm_slli_si128(pd, 4))};
}

TPP_SSE2 inline __m128i MixKeyed(__m128i frame, __m128i target, __m128i clear, __m128i weight16) {
    return Select(clear, frame, MixBytes(frame, target, weight16));
}

TPP_SSE2 void MixRGB24SpanSse2(uint8_t* dst, const uint8_t* src, int32_t count, int32_t weight, uint32_t key) {
    const __m128i weight16 = _mm_set1_epi16(static_cast<int16_t>(weight * 16));
    const __m128i keyLanes = _mm_set1_epi32(static_cast<int>(key));
    int32_t i = 0;
    for (; i + 16 <= count; i += 16, src += 64, dst += 48) {
        const __m128i* in = reinterpret_cast<const __m128i*>(src);
        const __m128i a = _mm_loadu_si128(in), b = _mm_loadu_si128(in + 1);
        const __m128i c = _mm_loadu_si128(in + 2), d = _mm_loadu_si128(in + 3);
        const __m128i ca = TransparentLanes(a, keyLanes), cb = TransparentLanes(b, keyLanes);
        const __m128i cc = TransparentLanes(c, keyLanes), cd = TransparentLanes(d, keyLanes);
        const __m128i anyClear = _mm_or_si128(_mm_or_si128(ca, cb), _mm_or_si128(cc, cd));
        const __m128i allClear = _mm_and_si128(_mm_and_si128(ca, cb), _mm_and_si128(cc, cd));
        if (_mm_movemask_epi8(allClear) == 0xFFFF) continue;
        __m128i* out = reinterpret_cast<__m128i*>(dst);
        const __m128i f0 = _mm_loadu_si128(out), f1 = _mm_loadu_si128(out + 1), f2 = _mm_loadu_si128(out + 2);
        const Bgr48 target = PackBgr48(a, b, c, d);
        if (_mm_movemask_epi8(anyClear) == 0) {
            _mm_storeu_si128(out, MixBytes(f0, target.v0, weight16));
            _mm_storeu_si128(out + 1, MixBytes(f1, target.v1, weight16));
            _mm_storeu_si128(out + 2, MixBytes(f2, target.v2, weight16));
        } else {
            const Bgr48 clear = PackBgr48(ca, cb, cc, cd);
            _mm_storeu_si128(out, MixKeyed(f0, target.v0, clear.v0, weight16));
            _mm_storeu_si128(out + 1, MixKeyed(f1, target.v1, clear.v1, weight16));
            _mm_storeu_si128(out + 2, MixKeyed(f2, target.v2, clear.v2, weight16));
        }
    }
    for (; i + 4 <= count; i += 4, src += 16, dst += 12) {
        const __m128i canvas = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
        const __m128i clear = TransparentLanes(canvas, keyLanes);
        if (_mm_movemask_epi8(clear) == 0xFFFF) continue;
        const __m128i frame = Load12(dst);
        Store12(dst, MixKeyed(frame, PackBgr(canvas), PackBgr(clear), weight16));
    }
    blend::MixRGB24Span(dst, src, count - i, weight, key);
}

// Weighted sums of B, G, R for four pixels, each as a 32-bit lane;
// coefficients in canvas byte order, B, G, R, 0.
TPP_SSE2 inline __m128i WeightedSums(__m128i pixels, __m128i coefficients) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i low = _mm_madd_epi16(_mm_unpacklo_epi8(pixels, zero), coefficients);
    const __m128i high = _mm_madd_epi16(_mm_unpackhi_epi8(pixels, zero), coefficients);
    const __m128 lowF = _mm_castsi128_ps(low), highF = _mm_castsi128_ps(high);
    const __m128i evens = _mm_castps_si128(_mm_shuffle_ps(lowF, highF, _MM_SHUFFLE(2, 0, 2, 0)));
    const __m128i odds = _mm_castps_si128(_mm_shuffle_ps(lowF, highF, _MM_SHUFFLE(3, 1, 3, 1)));
    return _mm_add_epi32(evens, odds);
}

TPP_SSE2 inline __m128i Luma(__m128i pixels) {
    return _mm_srai_epi32(WeightedSums(pixels, _mm_set_epi16(0, 77, 150, 29, 0, 77, 150, 29)), 8);
}

TPP_SSE2 inline __m128i Chroma(__m128i pixels, __m128i coefficients) {
    return _mm_add_epi32(_mm_srai_epi32(WeightedSums(pixels, coefficients), 8), _mm_set1_epi32(128));
}

TPP_SSE2 inline __m128i EvenLanes(__m128i a, __m128i b) {
    return _mm_castps_si128(_mm_shuffle_ps(_mm_castsi128_ps(a), _mm_castsi128_ps(b), _MM_SHUFFLE(2, 0, 2, 0)));
}

TPP_SSE2 inline __m128i OddLanes(__m128i a, __m128i b) {
    return _mm_castps_si128(_mm_shuffle_ps(_mm_castsi128_ps(a), _mm_castsi128_ps(b), _MM_SHUFFLE(3, 1, 3, 1)));
}

TPP_SSE2 void MixYUY2SpanSse2(uint8_t* dst, const uint8_t* src, int32_t count, int32_t weight, uint32_t key) {
    const __m128i weight16 = _mm_set1_epi16(static_cast<int16_t>(weight * 16));
    const __m128i keyLanes = _mm_set1_epi32(static_cast<int>(key));
    const __m128i uCoefficients = _mm_set_epi16(0, -43, -85, 128, 0, -43, -85, 128);
    const __m128i vCoefficients = _mm_set_epi16(0, 128, -107, -21, 0, 128, -107, -21);
    const __m128i byteMask = _mm_set1_epi32(0xFF);
    int32_t i = 0;
    for (; i + 4 <= count; i += 4, src += 32, dst += 16) {
        const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
        const __m128i second = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 16));
        const __m128i clearFirst = TransparentLanes(first, keyLanes);
        const __m128i clearSecond = TransparentLanes(second, keyLanes);
        if (_mm_movemask_epi8(_mm_and_si128(clearFirst, clearSecond)) == 0xFFFF) continue;

        // Lane k of each vector below belongs to macropixel k.
        const __m128i left = EvenLanes(first, second), right = OddLanes(first, second);
        const __m128i clearLeft = EvenLanes(clearFirst, clearSecond);
        const __m128i clearRight = OddLanes(clearFirst, clearSecond);
        const __m128i frame = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst));
        const __m128i y0 = _mm_and_si128(frame, byteMask);
        const __m128i u = _mm_and_si128(_mm_srli_epi32(frame, 8), byteMask);
        const __m128i y1 = _mm_and_si128(_mm_srli_epi32(frame, 16), byteMask);
        const __m128i v = _mm_srli_epi32(frame, 24);

        // Both slots covered: the chroma of the average colour.
        const __m128i average = _mm_add_epi32(
            _mm_and_si128(left, right), _mm_and_si128(_mm_srli_epi32(_mm_xor_si128(left, right), 1), _mm_set1_epi32(0x7F7F7F7F)));
        __m128i targetU = Chroma(average, uCoefficients);
        __m128i targetV = Chroma(average, vCoefficients);

        // One slot covered: halfway between its pixel's chroma and the frame's.
        const __m128i oneCovered = _mm_xor_si128(clearLeft, clearRight);
        if (_mm_movemask_epi8(oneCovered) != 0) {
            const __m128i single = Select(clearLeft, right, left);
            const __m128i halfU = _mm_srli_epi32(_mm_add_epi32(Chroma(single, uCoefficients), u), 1);
            const __m128i halfV = _mm_srli_epi32(_mm_add_epi32(Chroma(single, vCoefficients), v), 1);
            targetU = Select(oneCovered, halfU, targetU);
            targetV = Select(oneCovered, halfV, targetV);
        }
        const __m128i noneCovered = _mm_and_si128(clearLeft, clearRight);
        targetU = Select(noneCovered, u, targetU);
        targetV = Select(noneCovered, v, targetV);
        const __m128i targetY0 = Select(clearLeft, y0, Luma(left));
        const __m128i targetY1 = Select(clearRight, y1, Luma(right));

        const __m128i target = _mm_or_si128(
            _mm_or_si128(targetY0, _mm_slli_epi32(targetU, 8)),
            _mm_or_si128(_mm_slli_epi32(targetY1, 16), _mm_slli_epi32(targetV, 24)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), MixBytes(frame, target, weight16));
    }
    blend::MixYUY2Span(dst, src, count - i, weight, key);
}

}  // namespace

void BlendRGB24Sse2(const BlendArgs& args) { blend::WalkRGB24(args, MixRGB24SpanSse2); }

void BlendYUY2Sse2(const BlendArgs& args) { blend::WalkYUY2(args, MixYUY2SpanSse2); }
