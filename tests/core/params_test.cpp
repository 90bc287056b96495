#include "core/params.h"

#include <gtest/gtest.h>
#include <math.h>

TEST(ParameterIds, AreTheMaskedSdbmHashesOfTheKeys) {
    EXPECT_EQ(1784049613u, PARAM_ID_CUTOFF);
    EXPECT_EQ(394330366u, PARAM_ID_LFO_AMT);
    EXPECT_EQ(793359101u, PARAM_ID_LFO_SPEED);
    EXPECT_EQ(558397322u, PARAM_ID_MOD_CUTOFF);
    static_assert(sdbm_param_id("cutoff") == 0x6A566FCDu, "hash computed at compile time");
}

TEST(ParameterIds, MapToTheirIndexAndUnknownIdsToNone) {
    EXPECT_EQ(0, param_index_of(1784049613u));
    EXPECT_EQ(1, param_index_of(394330366u));
    EXPECT_EQ(2, param_index_of(793359101u));
    EXPECT_EQ(3, param_index_of(558397322u));
    EXPECT_EQ(-1, param_index_of(0u));
    EXPECT_EQ(-1, param_index_of(0xEA566FCDu));
}

TEST(ValueRules, NormalizedValuesMapToPlainAndRoundHalfAwayFromZero) {
    EXPECT_DOUBLE_EQ(7.5, to_plain(PARAM_CUTOFF, 0.5));
    EXPECT_EQ(8.0, quantize(PARAM_CUTOFF, to_plain(PARAM_CUTOFF, 0.5)));
    EXPECT_EQ(7.0, quantize(PARAM_CUTOFF, to_plain(PARAM_CUTOFF, 0.4999)));
    EXPECT_DOUBLE_EQ(-1.5, to_plain(PARAM_LFO_SPEED, -0.1));
    EXPECT_EQ(0.0, quantize(PARAM_LFO_SPEED, -1.5));
    EXPECT_EQ(15.0, quantize(PARAM_LFO_SPEED, to_plain(PARAM_LFO_SPEED, 1.2)));
    EXPECT_EQ(255.0, quantize(PARAM_MOD_CUTOFF, 300.0));
}

TEST(ValueRules, NaNFromTheHostBecomesTheMinimum) {
    EXPECT_EQ(0.0, quantize(PARAM_CUTOFF, NAN));
    EXPECT_EQ(0.0, quantize(PARAM_MOD_CUTOFF, -NAN));
}

TEST(ValueRules, DefaultsNormalizeAsHostsSeeThem) {
    EXPECT_EQ(7.0 / 15.0, to_normalized(PARAM_LFO_SPEED, 7.0));
    EXPECT_DOUBLE_EQ(0.4666666666666667, to_normalized(PARAM_LFO_SPEED, 7.0));
    EXPECT_DOUBLE_EQ(0.9725490196078431, to_normalized(PARAM_MOD_CUTOFF, 248.0));
    EXPECT_EQ(1.0, to_normalized(PARAM_CUTOFF, 15.0));
}
