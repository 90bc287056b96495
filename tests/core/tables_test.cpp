#include <gtest/gtest.h>
#include <math.h>

#include "core/fast_math.h"
#include "core/tables.h"

namespace {

TEST(LfoTables, RatesAreTheSixteenPhaseIncrements) {
    const int expected[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 12, 16, 21, 28, 37, 49, 64};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(expected[i], lfo_rate_table[i]) << i;
}

TEST(LfoTables, WaveRowsAreScaledRoundedSines) {
    for (int r = 0; r < LFO_DEPTH_COUNT; ++r) {
        for (int i = 0; i < LFO_PHASE_COUNT; ++i) {
            double exact = 127.0 * (r / 15.0) * sin(6.283185307179586 * (i + 1) / 256.0);
            EXPECT_EQ((int)round(exact), lfo_wave_table.row[r][i]) << r << "," << i;
        }
    }
    const int8_t* top = lfo_wave_table.row[15];
    EXPECT_EQ(3, top[0]);
    EXPECT_EQ(127, top[62]);
    EXPECT_EQ(127, top[63]);
    EXPECT_EQ(0, top[127]);
    EXPECT_EQ(-127, top[190]);
    EXPECT_EQ(-127, top[191]);
    EXPECT_EQ(0, top[255]);
    const int peaks[16] = {0, 8, 17, 25, 34, 42, 51, 59, 68, 76, 85, 93, 102, 110, 119, 127};
    for (int r = 0; r < 16; ++r)
        EXPECT_EQ(peaks[r], lfo_wave_table.row[r][63]) << r;
}

TEST(CutoffCurve, RisesFrom62To342AndScalesToHertz) {
    for (int i = 1; i < CUTOFF_INDEX_COUNT; ++i)
        EXPECT_LE(cutoff_curve_table[i - 1], cutoff_curve_table[i]) << i;
    EXPECT_EQ(62, cutoff_curve_table[0]);
    EXPECT_EQ(62, cutoff_curve_table[8]);
    EXPECT_EQ(98, cutoff_curve_table[128]);
    EXPECT_EQ(320, cutoff_curve_table[248]);
    EXPECT_EQ(342, cutoff_curve_table[255]);
    EXPECT_EQ(0x40CDCA7Bu, float_bits(CUTOFF_CURVE_HZ));
    EXPECT_NEAR(2057.9, CUTOFF_CURVE_HZ * cutoff_curve_table[248], 0.05);
    EXPECT_NEAR(2199.4, CUTOFF_CURVE_HZ * cutoff_curve_table[255], 0.05);
}

} // namespace
