// The block allocates nothing: the component's code is linked into this program so that the
// allocation counter sees every allocation it makes, and it is driven through its interfaces.
#include <gtest/gtest.h>

#include "core/params.h"
#include "plugin_host.h"
#include "tests/support/alloc_counter.h"
#include "vst3/factory.h"

namespace {

TEST(Realtime, ABlockWithChangesInAndOutAllocatesNothing) {
    ActiveComponent plugin;
    ASSERT_EQ(0, plugin.start(44100.0, true, pluginFactory()));
    AudioBlock block(256);
    fillNoise(block.input, 3);
    ParameterChanges in, out;
    in.add(PARAM_ID_CUTOFF, 0, 0.2);
    in.add(PARAM_ID_LFO_AMT, 0, 1.0);
    in.add(PARAM_ID_LFO_SPEED, 100, 1.0);
    in.add(PARAM_ID_MOD_CUTOFF, 0, 0.0);

    alloc_counter_start();
    for (int i = 0; i < 64; ++i) {
        out.clear();
        plugin.process(block, i % 2 ? &in : nullptr, &out);
    }
    const uint64_t inBlocks = alloc_counter_stop();
    EXPECT_EQ(0u, inBlocks);
    EXPECT_GT(out.count + in.count, 0);

    // The same counter sees the component's own allocations: a save makes several.
    MemoryStream s;
    s.bytes.reserve(8192);
    alloc_counter_start();
    plugin.component->vtbl->getState(plugin.component, s.get());
    EXPECT_GT(alloc_counter_stop(), 0u);
    plugin.stop();
}

TEST(Realtime, SilentAndEmptyBlocksAllocateNothingEither) {
    ActiveComponent plugin;
    ASSERT_EQ(0, plugin.start(48000.0, false, pluginFactory()));
    AudioBlock block(128), empty(0);
    alloc_counter_start();
    for (int i = 0; i < 16; ++i) {
        plugin.process(block, nullptr, nullptr);
        plugin.process(empty, nullptr, nullptr);
    }
    EXPECT_EQ(0u, alloc_counter_stop());
    plugin.stop();
}

} // namespace
