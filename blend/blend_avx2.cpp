// The AVX2 spans: eight lanes of 32 bits. Everything between the pragmas is
// compiled for AVX2 and runs only where the processor has it. Byte packing
// and unpacking work within each 128-bit half, so the helpers that change a
// lane's width or order put the halves back in place.
#include <immintrin.h>

#include "blend/blend_spans.h"

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

#include "blend/blend_simd_words.h"

namespace blend {
namespace {

struct Avx2 {
    using V = __m256i;
    static constexpr int kLanes = 8;
    static constexpr bool kByteShuffle = true;

    static V Load(const void* p) { return _mm256_loadu_si256(static_cast<const __m256i*>(p)); }
    static void Store(void* p, V v) { _mm256_storeu_si256(static_cast<__m256i*>(p), v); }
    static V Set1(uint32_t x) { return _mm256_set1_epi32(static_cast<int>(x)); }
    static V And(V a, V b) { return _mm256_and_si256(a, b); }
    static V AndNot(V mask, V b) { return _mm256_andnot_si256(mask, b); }
    static V Or(V a, V b) { return _mm256_or_si256(a, b); }
    static V Xor(V a, V b) { return _mm256_xor_si256(a, b); }
    static V Add(V a, V b) { return _mm256_add_epi32(a, b); }
    static V Sub(V a, V b) { return _mm256_sub_epi32(a, b); }
    template <int n>
    static V Srli(V a) {
        return _mm256_srli_epi32(a, n);
    }
    template <int n>
    static V Slli(V a) {
        return _mm256_slli_epi32(a, n);
    }
    template <int n>
    static V Srai(V a) {
        return _mm256_srai_epi32(a, n);
    }
    static V CmpEq(V a, V b) { return _mm256_cmpeq_epi32(a, b); }
    static V Madd(V a, V b) { return _mm256_madd_epi16(a, b); }
    static V MulLo16(V a, V b) { return _mm256_mullo_epi16(a, b); }
    static bool AllSet(V mask) { return _mm256_movemask_epi8(mask) == -1; }
    static bool AllClear(V mask) { return _mm256_testz_si256(mask, mask) != 0; }
    static V Set1Words(int32_t x) { return _mm256_set1_epi16(static_cast<int16_t>(x)); }
    static V Add16(V a, V b) { return _mm256_add_epi16(a, b); }
    template <int n>
    static V Srli16(V a) {
        return _mm256_srli_epi16(a, n);
    }
    // Bytes to words and back, half a vector at a time (each 128-bit half
    // on its own in AVX2, which Narrow undoes).
    static V Widen(V bytes, int half) {
        return half ? _mm256_unpackhi_epi8(bytes, _mm256_setzero_si256())
                    : _mm256_unpacklo_epi8(bytes, _mm256_setzero_si256());
    }
    static V Narrow(V low, V high) { return _mm256_packus_epi16(low, high); }
    // The words that Widen(bytes, half) of the bytes at the same index give:
    // 8 of each 128-bit half.
    static V LoadWords(const uint16_t* words, int half) {
        return _mm256_set_m128i(_mm_loadu_si128(reinterpret_cast<const __m128i*>(words + 16 + 8 * half)),
                                _mm_loadu_si128(reinterpret_cast<const __m128i*>(words + 8 * half)));
    }
    // Bytes from index first on set.
    static V BytesFrom(int32_t first) {
        const V index = _mm256_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21,
                                         22, 23, 24, 25, 26, 27, 28, 29, 30, 31);
        return _mm256_cmpgt_epi8(index, _mm256_set1_epi8(static_cast<char>(first - 1)));
    }
    static V ByteMask(V bytes) { return _mm256_sub_epi8(_mm256_setzero_si256(), bytes); }
    static V Weight16(int32_t weight) { return _mm256_set1_epi16(static_cast<int16_t>(weight * 16)); }

    // As in SSE2: the high half of (t - f) * 16 times weight * 16.
    static V MixBytes(V f, V t, V weight16) {
        const V zero = _mm256_setzero_si256();
        const V fLow = _mm256_unpacklo_epi8(f, zero), fHigh = _mm256_unpackhi_epi8(f, zero);
        const V dLow = _mm256_slli_epi16(_mm256_sub_epi16(_mm256_unpacklo_epi8(t, zero), fLow), 4);
        const V dHigh = _mm256_slli_epi16(_mm256_sub_epi16(_mm256_unpackhi_epi8(t, zero), fHigh), 4);
        return _mm256_packus_epi16(_mm256_add_epi16(fLow, _mm256_mulhi_epi16(dLow, weight16)),
                                   _mm256_add_epi16(fHigh, _mm256_mulhi_epi16(dHigh, weight16)));
    }

    // Byte k of each lane from its byte (sources >> 8k) & 0xFF, or zero
    // where that is 0x80.
    static V ShuffleLanes(V v, uint32_t sources) {
        const V laneStart = _mm256_setr_epi8(0, 0, 0, 0, 4, 4, 4, 4, 8, 8, 8, 8, 12, 12, 12, 12, 0, 0, 0, 0, 4, 4, 4, 4,
                                             8, 8, 8, 8, 12, 12, 12, 12);
        return _mm256_shuffle_epi8(v, _mm256_add_epi8(Set1(sources), laneStart));
    }

    // Lanes 0, 2, 4, 6 of a then of b; the odd ones likewise.
    static V Even(V a, V b) {
        const __m256 mixed = _mm256_shuffle_ps(_mm256_castsi256_ps(a), _mm256_castsi256_ps(b), _MM_SHUFFLE(2, 0, 2, 0));
        return _mm256_permute4x64_epi64(_mm256_castps_si256(mixed), _MM_SHUFFLE(3, 1, 2, 0));
    }
    static V Odd(V a, V b) {
        const __m256 mixed = _mm256_shuffle_ps(_mm256_castsi256_ps(a), _mm256_castsi256_ps(b), _MM_SHUFFLE(3, 1, 3, 1));
        return _mm256_permute4x64_epi64(_mm256_castps_si256(mixed), _MM_SHUFFLE(3, 1, 2, 0));
    }

    // Eight 3-byte pixels (24 bytes, read and written exactly), to and from a lane each.
    static V LoadBgr(const uint8_t* p) {
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i high = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + 16));
        const V bytes = _mm256_set_m128i(high, low);
        // Bytes 0-11 to the low half, 12-23 to the high half, then 3 bytes a lane.
        const V halves = _mm256_permutevar8x32_epi32(bytes, _mm256_setr_epi32(0, 1, 2, 3, 3, 4, 5, 6));
        const V spread = _mm256_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1, 0, 1, 2, -1, 3, 4, 5,
                                          -1, 6, 7, 8, -1, 9, 10, 11, -1);
        return _mm256_shuffle_epi8(halves, spread);
    }
    static void StoreBgr(uint8_t* p, V v) {
        const V gather = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1, 0, 1, 2, 4, 5, 6, 8,
                                          9, 10, 12, 13, 14, -1, -1, -1, -1);
        const V packed = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(v, gather),
                                                     _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 7, 7));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm256_castsi256_si128(packed));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p + 16), _mm256_extracti128_si256(packed, 1));
    }

    // Eight bytes, or eight byte pairs, to and from a lane each.
    static V LoadBytes(const uint8_t* p) {
        return _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)));
    }
    static void StoreBytes(uint8_t* p, V v) {
        const V words = _mm256_packus_epi32(v, v);
        const V bytes = _mm256_packus_epi16(words, words);  // bytes 0-3 of each half
        const __m128i joined = _mm_unpacklo_epi32(_mm256_castsi256_si128(bytes), _mm256_extracti128_si256(bytes, 1));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), joined);
    }
    static V LoadPairs(const uint8_t* p) {
        return _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
    }
    static void StorePairs(uint8_t* p, V v) {
        const V words = _mm256_permute4x64_epi64(_mm256_packus_epi32(v, v), _MM_SHUFFLE(3, 1, 2, 0));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm256_castsi256_si128(words));
    }

    // Words of a and b alternating, from the low or high four of each
    // 128-bit half, and back: signed 32-bit lanes to words.
    static V InterleaveWords(V a, V b, int half) {
        return half ? _mm256_unpackhi_epi16(a, b) : _mm256_unpacklo_epi16(a, b);
    }
    static V PackWords(V low, V high) { return _mm256_packs_epi32(low, high); }
    template <int n>
    static V Slli16(V a) {
        return _mm256_slli_epi16(a, n);
    }
};

}  // namespace

const Spans& Avx2Spans() { return simd::SimdSpans<Avx2>::kSpans; }

}  // namespace blend

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
