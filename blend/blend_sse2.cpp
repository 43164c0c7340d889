// The SSE2 spans: four lanes of 32 bits. Everything between the pragmas is
// compiled for SSE2 (the 32-bit DLL's baseline lacks it) and runs only
// where the processor has it.
#include <emmintrin.h>

#include <cstring>

#include "blend/blend_spans.h"

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("sse2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("sse2")
#endif

#include "blend/blend_simd_words.h"

namespace blend {
namespace {

struct Sse2 {
    using V = __m128i;
    static constexpr int kLanes = 4;
    static constexpr bool kByteShuffle = false;  // SSSE3's

    static V Load(const void* p) { return _mm_loadu_si128(static_cast<const __m128i*>(p)); }
    static void Store(void* p, V v) { _mm_storeu_si128(static_cast<__m128i*>(p), v); }
    static V Set1(uint32_t x) { return _mm_set1_epi32(static_cast<int>(x)); }
    static V And(V a, V b) { return _mm_and_si128(a, b); }
    static V AndNot(V mask, V b) { return _mm_andnot_si128(mask, b); }
    static V Or(V a, V b) { return _mm_or_si128(a, b); }
    static V Xor(V a, V b) { return _mm_xor_si128(a, b); }
    static V Add(V a, V b) { return _mm_add_epi32(a, b); }
    static V Sub(V a, V b) { return _mm_sub_epi32(a, b); }
    template <int n>
    static V Srli(V a) {
        return _mm_srli_epi32(a, n);
    }
    template <int n>
    static V Slli(V a) {
        return _mm_slli_epi32(a, n);
    }
    template <int n>
    static V Srai(V a) {
        return _mm_srai_epi32(a, n);
    }
    static V CmpEq(V a, V b) { return _mm_cmpeq_epi32(a, b); }
    static V Madd(V a, V b) { return _mm_madd_epi16(a, b); }
    static V MulLo16(V a, V b) { return _mm_mullo_epi16(a, b); }
    static bool AllSet(V mask) { return _mm_movemask_epi8(mask) == 0xFFFF; }
    static bool AllClear(V mask) { return _mm_movemask_epi8(mask) == 0; }
    static V Set1Words(int32_t x) { return _mm_set1_epi16(static_cast<int16_t>(x)); }
    static V Add16(V a, V b) { return _mm_add_epi16(a, b); }
    template <int n>
    static V Srli16(V a) {
        return _mm_srli_epi16(a, n);
    }
    // Bytes to words and back, half a vector at a time (each 128-bit half
    // on its own in AVX2, which Narrow undoes).
    static V Widen(V bytes, int half) {
        return half ? _mm_unpackhi_epi8(bytes, _mm_setzero_si128()) : _mm_unpacklo_epi8(bytes, _mm_setzero_si128());
    }
    static V Narrow(V low, V high) { return _mm_packus_epi16(low, high); }
    // The words that Widen(bytes, half) of the bytes at the same index give.
    static V LoadWords(const uint16_t* words, int half) { return Load(words + 8 * half); }
    // Bytes from index first on set.
    static V BytesFrom(int32_t first) {
        const V index = _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
        return _mm_cmpgt_epi8(index, _mm_set1_epi8(static_cast<char>(first - 1)));
    }
    static V ByteMask(V bytes) { return _mm_sub_epi8(_mm_setzero_si128(), bytes); }
    static V Weight16(int32_t weight) { return _mm_set1_epi16(static_cast<int16_t>(weight * 16)); }

    // The weight is kept times 16 and the difference shifted left by 4, so
    // the high half of the signed 16 x 16 product is exactly
    // floor((t - f) * weight / 256).
    static V MixBytes(V f, V t, V weight16) {
        const V zero = _mm_setzero_si128();
        const V fLow = _mm_unpacklo_epi8(f, zero), fHigh = _mm_unpackhi_epi8(f, zero);
        const V dLow = _mm_slli_epi16(_mm_sub_epi16(_mm_unpacklo_epi8(t, zero), fLow), 4);
        const V dHigh = _mm_slli_epi16(_mm_sub_epi16(_mm_unpackhi_epi8(t, zero), fHigh), 4);
        return _mm_packus_epi16(_mm_add_epi16(fLow, _mm_mulhi_epi16(dLow, weight16)),
                                _mm_add_epi16(fHigh, _mm_mulhi_epi16(dHigh, weight16)));
    }

    // Lanes 0, 2 of a then of b; lanes 1, 3 likewise.
    static V Even(V a, V b) {
        return _mm_castps_si128(_mm_shuffle_ps(_mm_castsi128_ps(a), _mm_castsi128_ps(b), _MM_SHUFFLE(2, 0, 2, 0)));
    }
    static V Odd(V a, V b) {
        return _mm_castps_si128(_mm_shuffle_ps(_mm_castsi128_ps(a), _mm_castsi128_ps(b), _MM_SHUFFLE(3, 1, 3, 1)));
    }

    // Four 3-byte pixels, to and from a lane each.
    static V LoadBgr(const uint8_t* p) {
        uint32_t tail;
        std::memcpy(&tail, p + 8, 4);
        const V v = _mm_or_si128(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)),
                                 _mm_slli_si128(_mm_cvtsi32_si128(static_cast<int>(tail)), 8));
        const V pixels01 = _mm_unpacklo_epi32(v, _mm_srli_si128(v, 3));
        const V pixels23 = _mm_unpacklo_epi32(_mm_srli_si128(v, 6), _mm_srli_si128(v, 9));
        return _mm_and_si128(_mm_unpacklo_epi64(pixels01, pixels23), Set1(0xFFFFFF));
    }
    static void StoreBgr(uint8_t* p, V v) {
        const V low = _mm_set_epi32(0, 0xFFFFFF, 0, 0xFFFFFF), high = _mm_set_epi32(0xFFFFFF, 0, 0xFFFFFF, 0);
        const V six = _mm_or_si128(_mm_and_si128(v, low), _mm_srli_epi64(_mm_and_si128(v, high), 8));
        const V firstHalf = _mm_set_epi32(0, 0, 0xFFFF, static_cast<int>(0xFFFFFFFF));
        const V secondHalf = _mm_set_epi32(0xFFFF, static_cast<int>(0xFFFFFFFF), 0, 0);
        const V packed = _mm_or_si128(_mm_and_si128(six, firstHalf), _mm_srli_si128(_mm_and_si128(six, secondHalf), 2));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), packed);
        const uint32_t tail = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(packed, 8)));
        std::memcpy(p + 8, &tail, 4);
    }

    // Four bytes, or four byte pairs, to and from a lane each.
    static V LoadBytes(const uint8_t* p) {
        uint32_t bytes;
        std::memcpy(&bytes, p, 4);
        const V zero = _mm_setzero_si128();
        return _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(bytes)), zero), zero);
    }
    static void StoreBytes(uint8_t* p, V v) {
        const V words = _mm_packs_epi32(v, v);
        const uint32_t bytes = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(words, words)));
        std::memcpy(p, &bytes, 4);
    }
    static V LoadPairs(const uint8_t* p) {
        return _mm_unpacklo_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), _mm_setzero_si128());
    }
    static void StorePairs(uint8_t* p, V v) {
        const V signedWords = _mm_srai_epi32(_mm_slli_epi32(v, 16), 16);  // packs saturates, this keeps the bits
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_packs_epi32(signedWords, signedWords));
    }

    // Words of a and b alternating, from the low or high four of each
    // 128-bit half, and back: signed 32-bit lanes to words.
    static V InterleaveWords(V a, V b, int half) { return half ? _mm_unpackhi_epi16(a, b) : _mm_unpacklo_epi16(a, b); }
    static V PackWords(V low, V high) { return _mm_packs_epi32(low, high); }
    template <int n>
    static V Slli16(V a) {
        return _mm_slli_epi16(a, n);
    }
};

}  // namespace

const Spans& Sse2Spans() { return simd::SimdSpans<Sse2>::kSpans; }

}  // namespace blend

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
