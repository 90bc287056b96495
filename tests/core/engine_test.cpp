// The engine through its entry points: LFO timing, the modulated cutoff index, parameter changes,
// activation, the band-pass response and silence.
#include <gtest/gtest.h>
#include <math.h>
#include <string.h>

#include <algorithm>
#include <vector>

#include "core/engine.h"
#include "core/tables.h"
#include "engine_fixture.h"
#include "platform/platform.h"

namespace {

// Round half away from zero of 127 * sin(2*pi*(phase + 1) / 256): the deepest wave row.
int full_depth_wave(int phase) {
    return (int)round(127.0 * sin(6.283185307179586 * (phase + 1) / 256.0));
}

// Runs n samples one sample per block; returns the positions whose block changed mod_index.
// Cutoff 15, depth 15, rate 15 changes it at every step (255, 245, 121, 251, ...).
std::vector<uint32_t> step_positions(PluginCore* core, uint32_t n) {
    std::vector<uint32_t> steps;
    float x = 0.1f, y;
    for (uint32_t i = 0; i < n; ++i) {
        uint8_t before = core->mod_index;
        engine_process(core, &x, &y, 1);
        if (core->mod_index != before) steps.push_back(i);
    }
    return steps;
}

std::vector<uint32_t> every(uint32_t period, uint32_t n) {
    std::vector<uint32_t> v;
    for (uint32_t i = 0; i < n; i += period)
        v.push_back(i);
    return v;
}

std::vector<float> noise(uint32_t n, float amp) {
    std::vector<float> x(n);
    uint32_t s = 2024u;
    for (float& v : x) {
        s = s * 1664525u + 1013904223u;
        v = (float)(int32_t)s * (amp / 2147483648.0f);
    }
    return x;
}

bool same_bits(const std::vector<float>& a, const std::vector<float>& b) {
    return a.size() == b.size() && memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

struct Engine : ::testing::Test {
    unsigned saved_mode;
    void SetUp() override { saved_mode = fp_mode_enter(); }
    void TearDown() override { fp_mode_leave(saved_mode); }
};

TEST_F(Engine, LfoStepsFallEveryPeriodOfTheStreamWhateverTheBlockSizes) {
    PluginCore core;
    start_instance(&core, 44100.0f, 15, 15, 15);
    EXPECT_EQ(441, core.lfo_period);
    EXPECT_EQ(every(441, 3000), step_positions(&core, 3000));

    std::vector<float> in = noise(5000, 0.3f);
    PluginCore whole;
    start_instance(&whole, 44100.0f, 15, 15, 15);
    std::vector<float> expected = render(&whole, in, {5000});
    const std::vector<std::vector<uint32_t>> patterns = {{64},          {1},   {0, 7, 0, 1, 441, 3},
                                                         {440, 1, 442}, {512}, {0, 4999, 0}};
    for (const auto& blocks : patterns) {
        PluginCore split;
        start_instance(&split, 44100.0f, 15, 15, 15);
        EXPECT_TRUE(same_bits(expected, render(&split, in, blocks))) << blocks.size();
        EXPECT_EQ(whole.mod_index, split.mod_index);
        EXPECT_EQ(whole.lfo_phase, split.lfo_phase);
        EXPECT_EQ(whole.lfo_countdown, split.lfo_countdown);
    }
}

TEST_F(Engine, LfoPeriodIsAHundredthOfTheSampleRateAndNeverZero) {
    const struct {
        float fs;
        int32_t period;
    } cases[] = {{44100.0f, 441}, {48000.0f, 480}, {96000.0f, 960}, {22050.0f, 221},
                 {150.0f, 2},     {100.0f, 1},     {40.0f, 1},      {0.0f, 1}};
    for (const auto& c : cases) {
        PluginCore core;
        start_instance(&core, c.fs, 15, 15, 15);
        EXPECT_EQ(c.period, core.lfo_period) << c.fs;
    }
    PluginCore core;
    start_instance(&core, 48000.0f, 15, 15, 15);
    EXPECT_EQ(every(480, 2000), step_positions(&core, 2000));
    start_instance(&core, 40.0f, 15, 15, 15);
    EXPECT_EQ(every(1, 50), step_positions(&core, 50)) << "below 50 Hz the LFO steps each sample";
    start_instance(&core, 0.0f, 15, 15, 15);
    std::vector<float> in(300, 0.5f);
    render(&core, in, {300});
    EXPECT_EQ(0, core.lfo_countdown) << "a zero rate still advances through the block";
}

TEST_F(Engine, AZeroSampleBlockChangesNothing) {
    PluginCore core;
    start_instance(&core, 44100.0f, 15, 15, 15);
    PluginCore before = core;
    engine_process(&core, nullptr, nullptr, 0);
    EXPECT_EQ(0, memcmp(&before, &core, sizeof core)) << "not even the first LFO step";
    std::vector<float> in = noise(100, 0.5f);
    render(&core, in, {100});
    before = core;
    engine_process(&core, in.data(), in.data(), 0);
    EXPECT_EQ(0, memcmp(&before, &core, sizeof core));
}

TEST_F(Engine, WithoutDepthTheModulatedIndexIsTheBaseByte) {
    for (int cutoff = 0; cutoff < 16; ++cutoff) {
        PluginCore core;
        start_instance(&core, 44100.0f, cutoff, 0, 15);
        std::vector<float> in = noise(2000, 0.3f);
        render(&core, in, {256});
        EXPECT_EQ(cutoff * 16 + 8, core.mod_index);
        EXPECT_EQ((float)cutoff_curve_table[cutoff * 16 + 8], core.cutoff_reg);
    }
    PluginCore core;
    start_instance(&core, 44100.0f, 15, 0, 0);
    float x = 0.0f;
    engine_process(&core, &x, &x, 1);
    EXPECT_NEAR(2057.9, CUTOFF_CURVE_HZ * core.cutoff_reg, 0.05);
    start_instance(&core, 44100.0f, 0, 0, 0);
    engine_process(&core, &x, &x, 1);
    EXPECT_NEAR(398.7, CUTOFF_CURVE_HZ * core.cutoff_reg, 0.05);
}

// One full LFO cycle at rate 0 (256 steps); the index after each step.
std::vector<int> one_cycle(int cutoff, int lfo_amt) {
    PluginCore core;
    start_instance(&core, 1000.0f, cutoff, lfo_amt, 0);
    std::vector<float> in(core.lfo_period, 0.0f), out(core.lfo_period);
    std::vector<int> idx;
    for (int step = 0; step < 256; ++step) {
        engine_process(&core, in.data(), out.data(), (uint32_t)in.size());
        idx.push_back(core.mod_index);
    }
    return idx;
}

TEST_F(Engine, FullDepthAtTopCutoffClipsAt255AndReaches121) {
    std::vector<int> idx = one_cycle(15, 15);
    int expected_clipped = 0;
    for (int phase = 0; phase < 256; ++phase)
        if (full_depth_wave(phase) >= 7) ++expected_clipped;
    EXPECT_EQ(expected_clipped, (int)std::count(idx.begin(), idx.end(), 255));
    EXPECT_EQ(121, *std::min_element(idx.begin(), idx.end()));
    EXPECT_EQ(251, idx[255]) << "phase 0 after a whole turn";
}

TEST_F(Engine, EveryCutoffAndDepthSwingsTheBaseByThePeakWithinTheIndexRange) {
    for (int cutoff = 0; cutoff < 16; ++cutoff) {
        for (int amt = 0; amt < 16; ++amt) {
            std::vector<int> idx = one_cycle(cutoff, amt);
            int base = cutoff * 16 + 8;
            int peak = (int)floor(127.0 * amt / 15.0 + 0.5);
            EXPECT_EQ(std::min(255, base + peak), *std::max_element(idx.begin(), idx.end()))
                << cutoff << "/" << amt;
            EXPECT_EQ(std::max(0, base - peak), *std::min_element(idx.begin(), idx.end()))
                << cutoff << "/" << amt;
        }
    }
}

TEST_F(Engine, TheFirstStepUsesThePhaseOfOneIncrement) {
    const int increments[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 12, 16, 21, 28, 37, 49, 64};
    for (int rate = 0; rate < 16; ++rate) {
        PluginCore core;
        start_instance(&core, 44100.0f, 7, 15, rate);
        float x = 0.0f;
        engine_process(&core, &x, &x, 1);
        EXPECT_EQ(120 + full_depth_wave(increments[rate]), core.mod_index) << rate;
        reactivate(&core);
        engine_process(&core, &x, &x, 1);
        EXPECT_EQ(120 + full_depth_wave(increments[rate]), core.mod_index) << "after reset";
    }
}

TEST_F(Engine, ParameterChangesTakeEffectAtTheNextLfoStep) {
    std::vector<float> in = noise(1000, 0.3f);
    const struct {
        int index;
        double value;
        int next_index;
    } changes[] = {{PARAM_CUTOFF, 3.0, 56},
                   {PARAM_LFO_AMT, 15.0, 255}, // phase 2 of the deepest row: 248 + 9, clipped
                   {PARAM_LFO_SPEED, 15.0, 248}};
    for (const auto& c : changes) {
        PluginCore a, b;
        start_instance(&a, 44100.0f, 15, 0, 0);
        reactivate(&a);
        b = a;
        std::vector<float> out_a = render(&a, in, {100, 900});
        std::vector<float> head(in.begin(), in.begin() + 100), tail(in.begin() + 100, in.end());
        std::vector<float> out_b = render(&b, head, {100});
        set_params(&b, c.index, c.value);
        std::vector<float> until_step(tail.begin(), tail.begin() + 341);
        std::vector<float> rest(tail.begin() + 341, tail.end());
        std::vector<float> mid = render(&b, until_step, {341});
        EXPECT_EQ(248, b.mod_index) << "no change before the step at sample 441";
        std::vector<float> late = render(&b, rest, {559});
        out_b.insert(out_b.end(), mid.begin(), mid.end());
        out_b.insert(out_b.end(), late.begin(), late.end());
        EXPECT_EQ(0, memcmp(out_a.data(), out_b.data(), 441 * sizeof(float))) << c.index;
        if (c.index != PARAM_LFO_SPEED) {
            EXPECT_NE(0, memcmp(out_a.data() + 441, out_b.data() + 441, 559 * sizeof(float)));
            EXPECT_EQ(c.next_index, b.mod_index) << c.index;
        } else {
            // At depth 0 the rate moves only the phase; steps at 0, 441 and 882.
            EXPECT_EQ(lfo_rate_table[0] + 2 * lfo_rate_table[15], b.lfo_phase);
            EXPECT_EQ(3 * lfo_rate_table[0], a.lfo_phase);
        }
    }
}

TEST_F(Engine, AFreshInstanceAndAReactivatedOneSoundDifferent) {
    PluginCore fresh;
    start_instance(&fresh, 44100.0f, 15, 0, 7);
    EXPECT_EQ(6.430967f * 1e-6f, fresh.hist_cutoff);
    PluginCore again = fresh;
    reactivate(&again);
    EXPECT_EQ(CUTOFF_CURVE_HZ * cutoff_curve_table[248], again.hist_cutoff);
    EXPECT_EQ(248, again.mod_index);
    EXPECT_EQ(0, again.lfo_phase);
    EXPECT_EQ(0, again.lfo_countdown);
    PluginCore twice = again;
    engine_reset(&twice);

    std::vector<float> in = sine(2057.9f, 0.05f, 44100.0f, 8000);
    std::vector<float> out_fresh = render(&fresh, in, {512});
    std::vector<float> out_again = render(&again, in, {512});
    std::vector<float> out_twice = render(&twice, in, {512});
    double e_fresh = 0.0, e_again = 0.0;
    for (size_t i = 4000; i < in.size(); ++i) {
        e_fresh += out_fresh[i] * out_fresh[i];
        e_again += out_again[i] * out_again[i];
    }
    EXPECT_GT(e_again, 4.0 * e_fresh) << "the activation cutoff scales the filter memories";
    EXPECT_TRUE(same_bits(out_again, out_twice)) << "activation clears every memory";
}

TEST_F(Engine, ActivationSetsTheRatesAndDeactivationTouchesNothingElse) {
    PluginCore core;
    start_instance(&core, 48000.0f, 15, 15, 15);
    EXPECT_EQ(48000.0f, core.active_fs);
    EXPECT_EQ(48000.0f, core.state_fs);
    EXPECT_EQ(3.1415927f / 48000.0f, core.pi_over_fs);
    EXPECT_EQ(48000.0f * 0.499f, core.nyquist_limit);
    EXPECT_NEAR(2.6958, core.filter_q, 1e-4);
    std::vector<float> in = noise(1000, 0.3f);
    render(&core, in, {1000});
    PluginCore before = core;
    engine_deactivate(&core);
    EXPECT_EQ(0.0f, core.active_fs);
    core.active_fs = before.active_fs;
    EXPECT_EQ(0, memcmp(&before, &core, sizeof core));
}

double gain_at(float hz) {
    PluginCore core;
    start_instance(&core, 44100.0f, 15, 0, 7);
    reactivate(&core);
    std::vector<float> in = sine(hz, 0.01f, 44100.0f, 44100);
    std::vector<float> out = render(&core, in, {512});
    double e_in = 0.0, e_out = 0.0;
    for (size_t i = 22050; i < in.size(); ++i) {
        e_in += in[i] * in[i];
        e_out += out[i] * out[i];
    }
    return sqrt(e_out / e_in);
}

TEST_F(Engine, TheFilterPassesTheModulatedCutoffFarAboveThreeOctavesAway) {
    float fc = CUTOFF_CURVE_HZ * cutoff_curve_table[248];
    double at_cutoff = gain_at(fc), below = gain_at(fc / 8.0f), above = gain_at(fc * 8.0f);
    RecordProperty("gain_at_cutoff", std::to_string(at_cutoff));
    RecordProperty("gain_three_octaves_below", std::to_string(below));
    RecordProperty("gain_three_octaves_above", std::to_string(above));
    EXPECT_GT(at_cutoff, 1.0);
    EXPECT_GT(at_cutoff, 10.0 * below);
    EXPECT_GT(at_cutoff, 10.0 * above);
}

TEST_F(Engine, SilenceInGivesExactSilenceOut) {
    PluginCore core;
    start_instance(&core, 44100.0f, 15, 15, 15);
    std::vector<float> zeros(44100, 0.0f);
    std::vector<float> out = render(&core, zeros, {512});
    EXPECT_EQ(out, zeros) << "from the first sample of a fresh activation";

    reactivate(&core);
    render(&core, noise(44100, 0.8f), {512});
    std::vector<float> settle(44100 * 12, 0.0f);
    render(&core, settle, {512});
    EXPECT_EQ(render(&core, zeros, {512}), zeros) << "after the dc blocker has settled";
}

} // namespace
