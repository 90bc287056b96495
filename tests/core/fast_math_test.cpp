// The engine's approximations: their exact points, their error against the exact functions, and
// the four-lane forms reproducing the scalar ones bit for bit.
#include <gtest/gtest.h>
#include <math.h>

#include "core/fast_math.h"
#include "core/fast_math4.h"
#include "platform/platform.h"

namespace {

constexpr double TWO_PI = 6.283185307179586;

// The Wright omega function in double precision, by Newton's method on w + ln(w) = m.
double wright_omega(double m) {
    double w = m > 1.0 ? m - log(m) : exp(m);
    for (int i = 0; i < 60; ++i)
        w -= (w + log(w) - m) / (1.0 + 1.0 / w);
    return w;
}

// Every 1/ratio-th step across [lo, hi] on a logarithmic grid.
template <typename F>
double max_relative_error(double lo, double hi, double ratio, F err) {
    double worst = 0.0;
    for (double x = lo; x < hi; x *= ratio)
        worst = fmax(worst, fabs(err((float)x)));
    return worst;
}

TEST(FastPrimitives, SineIsExactAtQuarterTurnsAndWrapsWholeTurns) {
    EXPECT_EQ(0.0f, sin_turns_fast(0.0f));
    EXPECT_EQ(1.0f, sin_turns_fast(0.25f));
    EXPECT_EQ(0.0f, sin_turns_fast(0.5f));
    EXPECT_EQ(-1.0f, sin_turns_fast(0.75f));
    EXPECT_EQ(-1.0f, sin_turns_fast(-0.25f));
    EXPECT_EQ(1.0f, sin_turns_fast(3.25f));
    EXPECT_EQ(sin_turns_fast(0.125f), sin_turns_fast(2.125f));
}

TEST(FastPrimitives, StayWithinTheirStatedErrorOfTheExactFunctions) {
    double rcp_err = max_relative_error(1e-30, 1e30, 1.0007,
                                        [](float x) { return rcp_fast(x) * (double)x - 1.0; });
    EXPECT_LT(rcp_err, 1.3e-5);
    EXPECT_LT(fabs(rcp_fast(-3.0f) * -3.0 - 1.0), 1.3e-5);

    double sin_err = 0.0, tan_err = 0.0;
    for (double t = -2.0; t < 2.0; t += 1e-5)
        sin_err = fmax(sin_err, fabs(sin_turns_fast((float)t) - sin(TWO_PI * (float)t)));
    for (double t = 1e-6; t < 0.24; t += 1e-6) {
        double exact = tan(TWO_PI * (float)t);
        tan_err = fmax(tan_err, fabs(tan_turns_fast((float)t) / exact - 1.0));
    }
    EXPECT_LT(sin_err, 0.011);
    EXPECT_LT(tan_err, 0.008);

    double log_err = 0.0;
    for (double x = 1e-30; x < 1e30; x *= 1.0007)
        log_err = fmax(log_err, fabs(log2_fast((float)x) - log2((float)x)));
    EXPECT_LT(log_err, 0.0055);

    double pow_err = 0.0;
    for (double y = -125.0; y < 125.0; y += 0.0013)
        pow_err = fmax(pow_err, fabs(pow2_fast((float)y) / exp2((float)y) - 1.0));
    EXPECT_LT(pow_err, 6.5e-4);

    double omega_err = 0.0;
    for (double m = -20.0; m < 1e8; m = m < 10.0 ? m + 0.001 : m * 1.001)
        omega_err = fmax(omega_err, fabs(omega_fast((float)m) / wright_omega((float)m) - 1.0));
    EXPECT_LT(omega_err, 0.04);
}

TEST(FastPrimitives, PowerOfTwoAndOmegaKeepTheirDefinedEnds) {
    EXPECT_EQ(8.0f, pow2_fast(3.0f));
    EXPECT_EQ(1.0f, pow2_fast(0.0f));
    EXPECT_EQ(0.0f, pow2_fast(-126.5f));
    EXPECT_EQ(0.0f, pow2_fast(-1e30f));
    EXPECT_EQ(1e9f, omega_fast(1e9f));
    EXPECT_EQ(3e20f, omega_fast(3e20f));
    EXPECT_EQ(INFINITY, omega_fast(INFINITY));
    // Far below -3.34 the first guess is 0 and the result is 2^(m / ln 2), about e^m.
    EXPECT_NEAR(exp(-10.0), omega_fast(-10.0f), exp(-10.0) * 1e-3);
}

TEST(FastPrimitives, TheWaveshaperMapsZeroToZero) {
    EXPECT_EQ(0.0f, omega_fast(0.0f * 38.46154f + 159.69313f) * 0.026f - 4.0209527f);
}

struct Lanes {
    uint32_t bits[4];
};

Lanes lanes_of(__m128 v) {
    Lanes l;
    _mm_storeu_si128((__m128i*)l.bits, _mm_castps_si128(v));
    return l;
}

bool same_result(uint32_t a, uint32_t b) {
    bool a_nan = (a & 0x7F800000u) == 0x7F800000u && (a & 0x007FFFFFu);
    bool b_nan = (b & 0x7F800000u) == 0x7F800000u && (b & 0x007FFFFFu);
    return a == b || (a_nan && b_nan);
}

// Runs the scalar and the four-lane form over `inputs`; returns how many lanes differ.
template <typename Scalar, typename Vector>
int count_lane_mismatches(const std::vector<float>& inputs, Scalar scalar, Vector vector) {
    int mismatches = 0;
    for (size_t i = 0; i + 4 <= inputs.size(); i += 4) {
        Lanes got = lanes_of(vector(_mm_loadu_ps(&inputs[i])));
        for (int j = 0; j < 4; ++j)
            if (!same_result(got.bits[j], float_bits(scalar(inputs[i + j])))) ++mismatches;
    }
    return mismatches;
}

// Whole numbers (where truncation and the negative correction matter), table boundaries,
// specials, denormals, runs of the waveshaper's usual range and random bit patterns.
std::vector<float> lane_inputs() {
    std::vector<float> x;
    for (int i = -200; i <= 200; ++i) {
        x.push_back((float)i);
        x.push_back((float)i + 0.5f);
        x.push_back(nextafterf((float)i, 1e9f));
        x.push_back(nextafterf((float)i, -1e9f));
    }
    const float specials[] = {-126.0f, -3.3414595f, 8.0f,      1e9f,   159.69313f, 0.0f,
                              -0.0f,   INFINITY,    -INFINITY, NAN,    1e-40f,     -1e-40f,
                              3e38f,   -3e38f,      1e-30f,    2.1e9f, -2.2e9f,    999999936.0f};
    for (float s : specials)
        x.push_back(s);
    for (double m = 8.0; m < 1.1e9; m *= 1.0001)
        x.push_back((float)m);
    uint32_t s = 1u;
    for (int i = 0; i < 200000; ++i) {
        s = s * 1664525u + 1013904223u;
        x.push_back(bits_float(s));
        x.push_back((float)(int32_t)s * (300.0f / 2147483648.0f));
    }
    while (x.size() % 4)
        x.push_back(1.0f);
    return x;
}

void expect_lanes_match_scalar() {
    std::vector<float> x = lane_inputs();
    EXPECT_EQ(0, count_lane_mismatches(x, rcp_fast, rcp_fast4));
    EXPECT_EQ(0, count_lane_mismatches(x, log2_fast, log2_fast4));
    EXPECT_EQ(0, count_lane_mismatches(x, pow2_fast, pow2_fast4));
    EXPECT_EQ(0, count_lane_mismatches(x, omega_fast, omega_fast4));
}

TEST(FastPrimitives, FourLaneFormsEqualTheScalarOnesBitForBit) {
    expect_lanes_match_scalar();
    unsigned saved = fp_mode_enter();
    expect_lanes_match_scalar();
    fp_mode_leave(saved);
}

} // namespace
