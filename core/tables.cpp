#include "tables.h"

const uint8_t lfo_rate_table[LFO_RATE_COUNT] = {1, 2,  3,  4,  5,  6,  7,  8,
                                                9, 12, 16, 21, 28, 37, 49, 64};

namespace {

constexpr double PI = 3.14159265358979323846;

// sin(2*pi*k/256) for 0 <= k <= 64, where the Taylor series converges to full double precision.
constexpr double sin_first_quarter(int k) {
    double x = 2.0 * PI * k / 256.0;
    double term = x, sum = x;
    for (int n = 1; n < 12; ++n) {
        term = -term * x * x / ((2.0 * n) * (2.0 * n + 1.0));
        sum += term;
    }
    return sum;
}

// sin(2*pi*k/256) for 0 <= k <= 256, folded into the first quarter.
constexpr double sin_of_step(int k) {
    if (k > 128) return -sin_of_step(k - 128);
    if (k > 64) return sin_first_quarter(128 - k);
    return sin_first_quarter(k);
}

constexpr int round_half_away(double v) {
    return v >= 0.0 ? (int)(v + 0.5) : -(int)(-v + 0.5);
}

constexpr LfoWaveTable make_lfo_wave_table() {
    LfoWaveTable t{};
    for (int r = 0; r < LFO_DEPTH_COUNT; ++r)
        for (int i = 0; i < LFO_PHASE_COUNT; ++i)
            t.row[r][i] = (int8_t)round_half_away(127.0 * (r / 15.0) * sin_of_step(i + 1));
    return t;
}

} // namespace

constexpr LfoWaveTable lfo_wave_table = make_lfo_wave_table();

const uint16_t cutoff_curve_table[CUTOFF_INDEX_COUNT] = {
    62,  62,  62,  62,  62,  62,  62,  62,  62,  62,  62,  62,  62,  62,  62,  62,  62,  62,  62,
    62,  62,  62,  62,  62,  62,  62,  62,  63,  63,  63,  63,  63,  63,  63,  63,  63,  63,  63,
    63,  63,  63,  63,  63,  64,  64,  64,  64,  64,  64,  64,  64,  64,  65,  65,  65,  65,  65,
    65,  65,  66,  66,  66,  66,  66,  67,  67,  67,  67,  68,  68,  68,  68,  68,  69,  69,  69,
    70,  70,  70,  71,  71,  71,  72,  72,  72,  73,  73,  73,  74,  74,  75,  75,  75,  76,  76,
    77,  77,  78,  78,  79,  79,  80,  80,  81,  81,  82,  82,  83,  83,  84,  85,  85,  86,  87,
    87,  88,  89,  89,  90,  91,  91,  92,  93,  94,  94,  95,  96,  97,  98,  98,  99,  100, 101,
    102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 113, 114, 115, 116, 117, 118, 119, 120,
    121, 123, 124, 125, 126, 128, 129, 130, 131, 133, 134, 135, 137, 138, 139, 141, 142, 144, 145,
    147, 148, 150, 151, 153, 154, 156, 157, 159, 161, 162, 164, 166, 167, 169, 171, 173, 174, 176,
    178, 180, 182, 184, 185, 187, 189, 191, 193, 195, 197, 199, 201, 203, 206, 208, 210, 212, 214,
    216, 219, 221, 223, 225, 228, 230, 232, 235, 237, 239, 242, 244, 247, 249, 252, 254, 257, 260,
    262, 265, 268, 270, 273, 276, 278, 281, 284, 287, 290, 293, 296, 298, 301, 304, 307, 310, 313,
    317, 320, 323, 326, 329, 332, 336, 339, 342,
};
