// Four-lane SSE2 forms of rcp_fast, log2_fast, pow2_fast and omega_fast: each lane performs the
// scalar function's operations in the same order, so the results are identical bit for bit.
#pragma once

#include <emmintrin.h>

inline __m128 select4(__m128 mask, __m128 if_set, __m128 if_clear) {
    return _mm_or_ps(_mm_and_ps(mask, if_set), _mm_andnot_ps(mask, if_clear));
}

inline __m128 rcp_fast4(__m128 x) {
    __m128 r = _mm_castsi128_ps(_mm_sub_epi32(_mm_set1_epi32(0x7EF0E840), _mm_castps_si128(x)));
    r = _mm_sub_ps(_mm_add_ps(r, r), _mm_mul_ps(_mm_mul_ps(x, r), r));
    r = _mm_sub_ps(_mm_add_ps(r, r), _mm_mul_ps(_mm_mul_ps(x, r), r));
    return r;
}

inline __m128 log2_fast4(__m128 m) {
    __m128i u = _mm_castps_si128(m);
    __m128 e = _mm_cvtepi32_ps(_mm_and_si128(_mm_srli_epi32(u, 23), _mm_set1_epi32(0xFF)));
    __m128 g = _mm_castsi128_ps(
        _mm_or_si128(_mm_and_si128(u, _mm_set1_epi32(0x007FFFFF)), _mm_set1_epi32(0x3F800000)));
    __m128 poly = _mm_mul_ps(g, _mm_set1_ps(0.16404256f));
    poly = _mm_mul_ps(g, _mm_sub_ps(poly, _mm_set1_ps(1.0988653f)));
    poly = _mm_mul_ps(g, _mm_add_ps(poly, _mm_set1_ps(3.148298f)));
    return _mm_add_ps(_mm_sub_ps(e, _mm_set1_ps(129.21347f)), poly);
}

// 2^y from y and its chosen integer part n.
inline __m128 pow2_with_exponent(__m128 y, __m128i n) {
    __m128 f = _mm_sub_ps(y, _mm_cvtepi32_ps(n));
    __m128 r = _mm_castsi128_ps(_mm_slli_epi32(_mm_add_epi32(n, _mm_set1_epi32(127)), 23));
    __m128 poly = _mm_add_ps(_mm_mul_ps(f, _mm_set1_ps(0.07944154f)), _mm_set1_ps(0.22741129f));
    poly = _mm_add_ps(_mm_mul_ps(f, poly), _mm_set1_ps(0.6931472f));
    return _mm_add_ps(r, _mm_mul_ps(_mm_mul_ps(f, r), poly));
}

inline __m128 pow2_fast4(__m128 y) {
    // Adding the all-ones mask subtracts 1 where y is negative.
    __m128i n =
        _mm_add_epi32(_mm_cvttps_epi32(y), _mm_castps_si128(_mm_cmplt_ps(y, _mm_setzero_ps())));
    return _mm_andnot_ps(_mm_cmplt_ps(y, _mm_set1_ps(-126.0f)), pow2_with_exponent(y, n));
}

// The correction step from the first guess w0: w0 - (w0 - 2^((m - w0) / ln 2)) / (w0 + 1).
inline __m128 omega_step(__m128 w0, __m128 e) {
    return _mm_sub_ps(w0,
                      _mm_mul_ps(_mm_sub_ps(w0, e), rcp_fast4(_mm_add_ps(w0, _mm_set1_ps(1.0f)))));
}

inline __m128 omega_fast4(__m128 m) {
    __m128 asymptotic = _mm_sub_ps(m, _mm_mul_ps(_mm_set1_ps(0.6931472f), log2_fast4(m)));
    __m128 large =
        _mm_and_ps(_mm_cmpge_ps(m, _mm_set1_ps(8.0f)), _mm_cmplt_ps(m, _mm_set1_ps(1e9f)));
    if (_mm_movemask_ps(large) == 0xF) {
        // The usual case: all lanes take the asymptotic guess, which is below m, so the power of
        // two has a non-negative argument and truncation is its integer part.
        __m128 y = _mm_mul_ps(_mm_sub_ps(m, asymptotic), _mm_set1_ps(1.442695f));
        return omega_step(asymptotic, pow2_with_exponent(y, _mm_cvttps_epi32(y)));
    }
    __m128 cubic =
        _mm_add_ps(_mm_mul_ps(m, _mm_set1_ps(-0.0013142931f)), _mm_set1_ps(0.047759313f));
    cubic = _mm_add_ps(_mm_mul_ps(cubic, m), _mm_set1_ps(0.36319527f));
    cubic = _mm_add_ps(_mm_mul_ps(cubic, m), _mm_set1_ps(0.63131833f));
    __m128 w0 = select4(_mm_cmplt_ps(m, _mm_set1_ps(8.0f)), cubic, asymptotic);
    w0 = _mm_andnot_ps(_mm_cmplt_ps(m, _mm_set1_ps(-3.3414595f)), w0);
    __m128 e = pow2_fast4(_mm_mul_ps(_mm_sub_ps(m, w0), _mm_set1_ps(1.442695f)));
    return select4(_mm_cmpge_ps(m, _mm_set1_ps(1e9f)), m, omega_step(w0, e));
}
