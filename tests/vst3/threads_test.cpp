// State saves and restores on another thread while the audio thread runs blocks: they meet only
// at the parameter lock, the block never waits, and every state read is whole.
#include <gtest/gtest.h>
#include <math.h>

#include <atomic>
#include <thread>

#include "core/params.h"
#include "plugin_host.h"

namespace {

bool wholeInRange(float v) {
    return v >= 0 && v <= 15 && v == floorf(v);
}

TEST(StateThread, SavesAndRestoresThousandsOfTimesWhileBlocksRun) {
    ASSERT_NE(nullptr, velumModule());
    ActiveComponent plugin;
    ASSERT_EQ(0, plugin.start(44100.0, true));
    std::vector<uint8_t> states[2] = {stateBlob("vst3", 4, 4, 4), stateBlob("vst3", 11, 11, 11)};

    std::atomic<bool> done{false};
    std::atomic<int> blocks{0};
    std::thread audio([&] {
        AudioBlock block(64);
        fillNoise(block.input, 9);
        ParameterChanges in[2], out;
        in[0].add(PARAM_ID_CUTOFF, 0, 0.0);
        in[0].add(PARAM_ID_LFO_AMT, 32, 1.0);
        in[1].add(PARAM_ID_CUTOFF, 0, 1.0);
        in[1].add(PARAM_ID_LFO_SPEED, 0, 0.5);
        for (int i = 0; !done.load(); ++i) {
            out.clear();
            plugin.process(block, &in[i % 2], &out);
            blocks.fetch_add(1);
        }
    });

    const int rounds = 3000;
    int saved = 0, restored = 0, whole = 0;
    for (int i = 0; i < rounds; ++i) {
        MemoryStream save;
        if (plugin.component->vtbl->getState(plugin.component, save.get()) == kResultOk) ++saved;
        float v[3];
        if (readStateValues(save.bytes, v) && wholeInRange(v[0]) && wholeInRange(v[1]) &&
            wholeInRange(v[2]))
            ++whole;
        MemoryStream load(states[i % 2]);
        if (plugin.component->vtbl->setState(plugin.component, load.get()) == kResultOk) ++restored;
    }
    done.store(true);
    audio.join();
    EXPECT_EQ(rounds, saved);
    EXPECT_EQ(rounds, restored);
    EXPECT_EQ(rounds, whole);
    EXPECT_GT(blocks.load(), 0);

    // After the run the instance still takes a restore at its next block.
    MemoryStream load(states[1]);
    ASSERT_EQ(kResultOk, plugin.component->vtbl->setState(plugin.component, load.get()));
    AudioBlock block(64);
    plugin.process(block, nullptr, nullptr);
    EXPECT_EQ((std::vector<float>{11, 11, 11}), plugin.savedValues());
    plugin.stop();
}

} // namespace
