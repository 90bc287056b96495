// The parameter storage of one instance and the byte lock between the audio thread's passes and
// the threads that save or restore state.
#include <gtest/gtest.h>
#include <math.h>
#include <string.h>

#include <atomic>
#include <thread>

#include "core/plugin_core.h"

namespace {

struct Core : ::testing::Test {
    PluginCore core;
    void SetUp() override { plugin_core_init(&core, 44100.0f); }

    void pass(int index, double plain) {
        begin_block(&core);
        apply_input(&core, index, plain);
        end_block(&core);
    }
    void restore(float cutoff, float lfo_amt, float lfo_speed) {
        lock_for_state(&core);
        set_value_from_state(&core, PARAM_CUTOFF, cutoff);
        set_value_from_state(&core, PARAM_LFO_AMT, lfo_amt);
        set_value_from_state(&core, PARAM_LFO_SPEED, lfo_speed);
        unlock_for_state(&core);
    }
    CoreStateValues save() {
        lock_for_state(&core);
        CoreStateValues v = read_values_for_state(&core);
        unlock_for_state(&core);
        return v;
    }
    bool unchanged_since(const PluginCore& before) {
        return memcmp(&before, &core, sizeof core) == 0;
    }
};

TEST_F(Core, StartsWithTheDefaultsAndTheirBytes) {
    const float defaults[3] = {15.0f, 0.0f, 7.0f};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(defaults[i], core.values[i]);
        EXPECT_EQ(defaults[i], core.applied[i]);
    }
    EXPECT_EQ(15.0f, core.cutoff);
    EXPECT_EQ(0.0f, core.lfo_amt);
    EXPECT_EQ(7.0f, core.lfo_speed);
    EXPECT_EQ(248, core.base_byte);
    EXPECT_EQ(0, core.depth_byte);
    EXPECT_EQ(7, core.rate_byte);
    EXPECT_TRUE(core.synced);
    EXPECT_FALSE(core.state_loaded);
    EXPECT_EQ(0, core.lock);
    EXPECT_EQ(248.0f, core.last_reported);
    EXPECT_EQ(44100.0f, core.setup_fs);
    EXPECT_EQ(0.0f, core.active_fs);
    EXPECT_EQ(0.0f, core.state_fs);
    EXPECT_EQ(0.0f, core.cutoff_reg);
}

TEST_F(Core, HostChangesSetTheEngineCopiesAndDerivedBytes) {
    pass(PARAM_CUTOFF, 0.0);
    EXPECT_EQ(8, core.base_byte);
    pass(PARAM_CUTOFF, 9.0);
    EXPECT_EQ(9.0f, core.cutoff);
    EXPECT_EQ(9 * 16 + 8, core.base_byte);
    pass(PARAM_LFO_AMT, 12.0);
    EXPECT_EQ(12.0f, core.lfo_amt);
    EXPECT_EQ(12, core.depth_byte);
    pass(PARAM_LFO_SPEED, 3.0);
    EXPECT_EQ(3.0f, core.lfo_speed);
    EXPECT_EQ(3, core.rate_byte);
    EXPECT_EQ(9.0f, core.applied[PARAM_CUTOFF]);
    EXPECT_EQ(12.0f, core.values[PARAM_LFO_AMT]);
    EXPECT_EQ(0, core.lock);
}

TEST_F(Core, EqualChangesAndChangesToTheOutputOrUnknownIndicesDoNothing) {
    begin_block(&core);
    PluginCore before = core;
    apply_input(&core, PARAM_CUTOFF, 15.0);
    apply_input(&core, PARAM_LFO_SPEED, 7.0);
    apply_input(&core, PARAM_MOD_CUTOFF, 3.0);
    apply_input(&core, -1, 3.0);
    apply_input(&core, 4, 3.0);
    EXPECT_TRUE(unchanged_since(before));
    end_block(&core);
}

TEST_F(Core, NoDerivedByteLeavesItsTableWhateverTheValue) {
    const double wild[] = {NAN, -NAN, INFINITY, -INFINITY, 1e300, -5.0, 255.0, 16.0, 15.99};
    for (double v : wild) {
        for (int i = 0; i < 3; ++i)
            pass(i, v);
        EXPECT_LE(core.depth_byte, 15) << v;
        EXPECT_LE(core.rate_byte, 15) << v;
        EXPECT_EQ(8, core.base_byte % 16) << v;
    }
}

TEST_F(Core, ABusyPassRecordsChangesOnlyInValuesAndTheNextPassAppliesThem) {
    lock_for_state(&core);
    begin_block(&core);
    apply_input(&core, PARAM_CUTOFF, 3.0);
    end_block(&core);
    EXPECT_EQ(3.0f, core.values[PARAM_CUTOFF]);
    EXPECT_EQ(15.0f, core.applied[PARAM_CUTOFF]);
    EXPECT_EQ(248, core.base_byte);
    EXPECT_EQ(1, core.lock) << "a busy pass must not release the other side's lock";
    unlock_for_state(&core);

    begin_block(&core);
    end_block(&core);
    EXPECT_EQ(3.0f, core.applied[PARAM_CUTOFF]);
    EXPECT_EQ(3.0f, core.cutoff);
    EXPECT_EQ(56, core.base_byte);
    EXPECT_TRUE(core.synced);
}

TEST_F(Core, RestoredValuesWinOverHostChangesMadeDuringTheRestore) {
    lock_for_state(&core);
    set_value_from_state(&core, PARAM_CUTOFF, 9.0f);
    set_value_from_state(&core, PARAM_LFO_AMT, 4.4f);
    begin_block(&core);
    apply_input(&core, PARAM_CUTOFF, 4.0);
    apply_input(&core, PARAM_LFO_SPEED, 2.0);
    end_block(&core);
    EXPECT_EQ(248, core.base_byte) << "the engine keeps its values while the lock is held";
    unlock_for_state(&core);

    begin_block(&core);
    end_block(&core);
    EXPECT_EQ(9.0f, core.values[PARAM_CUTOFF]);
    EXPECT_EQ(9.0f, core.cutoff);
    EXPECT_EQ(152, core.base_byte);
    EXPECT_EQ(4.0f, core.lfo_amt) << "restored values are quantized";
    EXPECT_EQ(4, core.depth_byte);
    EXPECT_EQ(7.0f, core.lfo_speed) << "the restore carried the applied 7, not the host's 2";
    EXPECT_EQ(7.0f, core.values[PARAM_LFO_SPEED]);
    EXPECT_FALSE(core.state_loaded);

    pass(PARAM_CUTOFF, 4.0);
    EXPECT_EQ(72, core.base_byte) << "the host's value differs from the restored one again";
}

TEST_F(Core, ASaveReadsTheEngineCopiesAndTheLatestActivationRate) {
    pass(PARAM_CUTOFF, 11.0);
    core.state_fs = 48000.0f;
    CoreStateValues v = save();
    EXPECT_EQ(48000.0f, v.sample_rate);
    EXPECT_EQ(11.0f, v.values[PARAM_CUTOFF]);
    EXPECT_EQ(0.0f, v.values[PARAM_LFO_AMT]);
    EXPECT_EQ(7.0f, v.values[PARAM_LFO_SPEED]);
    EXPECT_EQ(0, core.lock);
}

TEST_F(Core, ASaveRightAfterARestoreKeepsTheRestoredValues) {
    restore(2.0f, 3.0f, 4.0f);
    CoreStateValues v = save();
    EXPECT_EQ(2.0f, v.values[PARAM_CUTOFF]);
    EXPECT_EQ(3.0f, v.values[PARAM_LFO_AMT]);
    EXPECT_EQ(4.0f, v.values[PARAM_LFO_SPEED]);
}

TEST_F(Core, RestoredNaNBecomesTheMinimumAndOutOfRangeValuesAreClamped) {
    restore(NAN, 99.0f, -3.0f);
    begin_block(&core);
    end_block(&core);
    EXPECT_EQ(0.0f, core.cutoff);
    EXPECT_EQ(8, core.base_byte);
    EXPECT_EQ(15.0f, core.lfo_amt);
    EXPECT_EQ(0.0f, core.lfo_speed);
}

// A real state thread holds the lock while the audio thread keeps running passes.
TEST_F(Core, AudioPassesNeverWaitForARestoreOnAnotherThread) {
    std::atomic<int> stage{0};
    std::thread restorer([&] {
        lock_for_state(&core);
        set_value_from_state(&core, PARAM_CUTOFF, 12.0f);
        stage.store(1);
        while (stage.load() != 2)
            std::this_thread::yield();
        unlock_for_state(&core);
        stage.store(3);
    });
    while (stage.load() != 1)
        std::this_thread::yield();
    for (int i = 0; i < 1000; ++i) {
        begin_block(&core);
        apply_input(&core, PARAM_CUTOFF, (double)(i % 5));
        apply_input(&core, PARAM_LFO_AMT, 6.0);
        end_block(&core);
    }
    EXPECT_EQ(248, core.base_byte);
    EXPECT_EQ(0, core.depth_byte);
    EXPECT_EQ(6.0f, core.values[PARAM_LFO_AMT]);
    stage.store(2);
    restorer.join();

    begin_block(&core);
    end_block(&core);
    EXPECT_EQ(12.0f, core.cutoff);
    EXPECT_EQ(200, core.base_byte);
    EXPECT_EQ(0.0f, core.lfo_amt) << "the restore's applied values replace every host change";
    EXPECT_EQ(0.0f, core.values[PARAM_LFO_AMT]);
}

// Restores and saves race with audio passes; every save must see one consistent triple.
TEST_F(Core, SavesSeeConsistentValuesWhileRestoresAndPassesRace) {
    std::atomic<bool> done{false};
    std::atomic<int> inconsistent{0};
    std::thread state_thread([&] {
        for (int k = 0; k < 3000; ++k) {
            float v = (float)(k % 16);
            restore(v, v, v);
            CoreStateValues s = save();
            if (s.values[0] != s.values[1] || s.values[1] != s.values[2]) ++inconsistent;
        }
        done.store(true);
    });
    int k = 0;
    while (!done.load()) {
        double v = (double)(k++ % 16);
        begin_block(&core);
        for (int i = 0; i < 3; ++i)
            apply_input(&core, i, v);
        end_block(&core);
    }
    state_thread.join();
    EXPECT_EQ(0, inconsistent.load());
    EXPECT_EQ(0, core.lock);
}

} // namespace
