// The engine's own approximations of reciprocal, sine, tangent, log2, 2^y and Wright omega. They
// define Velum's sound, so every operation is written in the order the sound was tuned with.
#pragma once

#include <math.h>
#include <stdint.h>
#include <string.h>
#include <xmmintrin.h>

inline uint32_t float_bits(float x) {
    uint32_t u;
    memcpy(&u, &x, sizeof u);
    return u;
}

inline float bits_float(uint32_t u) {
    float x;
    memcpy(&x, &u, sizeof x);
    return x;
}

// Truncation toward zero with the processor's defined answer (INT32_MIN) for NaN and overflow.
inline int32_t trunc_to_int(float x) {
    return _mm_cvtt_ss2si(_mm_set_ss(x));
}

// 1/x from a magic first guess and two Newton steps.
inline float rcp_fast(float x) {
    float r = bits_float(0x7EF0E840u - float_bits(x));
    r = (r + r) - (x * r) * r;
    r = (r + r) - (x * r) * r;
    return r;
}

// sin(2*pi*t); exact (to float rounding) at whole quarter turns.
inline float sin_turns_fast(float t) {
    float f = t - floorf(t);
    float u = 2.0f * f - 1.0f;
    float a = fabsf(2.0f * fabsf(u) - 1.0f) * (-1.5707964f) + 1.5707964f;
    float p = (a * (-0.11073982f) + (-0.05738534f)) * (a * a) + a;
    float sign = (float_bits(-u) >> 31) ? -1.0f : 1.0f;
    return p * sign;
}

// tan(2*pi*t) for 0 <= t < 0.25.
inline float tan_turns_fast(float t) {
    return sin_turns_fast(t) * rcp_fast(sin_turns_fast(t + 0.25f));
}

// log2(m) for m > 0 from the exponent field and a cubic in the mantissa.
inline float log2_fast(float m) {
    uint32_t u = float_bits(m);
    float e = (float)(int32_t)((u >> 23) & 0xFFu);
    float g = bits_float((u & 0x007FFFFFu) | 0x3F800000u);
    return (e - 129.21347f) + g * (g * (g * 0.16404256f - 1.0988653f) + 3.148298f);
}

// 2^y; 0 below -126.
inline float pow2_fast(float y) {
    if (y < -126.0f) return 0.0f;
    int32_t n = trunc_to_int(y);
    if (y < 0.0f) n -= 1;
    float f = y - (float)n;
    float r = bits_float(((uint32_t)n + 127u) << 23);
    return r + f * r * (f * (f * 0.07944154f + 0.22741129f) + 0.6931472f);
}

// Wright omega: the w with w + ln(w) = m, from a piecewise first guess and one correction step.
inline float omega_fast(float m) {
    if (m >= 1e9f) return m;
    float w0;
    if (m < -3.3414595f)
        w0 = 0.0f;
    else if (m < 8.0f)
        w0 = ((m * (-0.0013142931f) + 0.047759313f) * m + 0.36319527f) * m + 0.63131833f;
    else
        w0 = m - 0.6931472f * log2_fast(m);
    float e = pow2_fast((m - w0) * 1.442695f);
    return w0 - (w0 - e) * rcp_fast(w0 + 1.0f);
}
