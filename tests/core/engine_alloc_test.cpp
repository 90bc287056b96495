#include <gtest/gtest.h>

#include <vector>

#include "core/engine.h"
#include "engine_fixture.h"
#include "tests/support/alloc_counter.h"

namespace {

TEST(EngineAllocations, ProcessingAndParameterPassesAllocateNothing) {
    PluginCore core;
    start_instance(&core, 48000.0f, 6, 15, 15);
    std::vector<float> in(48000, 0.25f), out(in.size());
    alloc_counter_start();
    for (size_t pos = 0; pos + 480 <= in.size(); pos += 480) {
        begin_block(&core);
        apply_input(&core, PARAM_CUTOFF, (double)((pos / 480) % 16));
        end_block(&core);
        engine_process(&core, in.data() + pos, out.data() + pos, 333);
        engine_process(&core, in.data() + pos + 333, out.data() + pos + 333, 147);
    }
    uint64_t allocations = alloc_counter_stop();
    EXPECT_EQ(0u, allocations);
    EXPECT_NE(out[47999], 0.0f) << "the engine really ran";
}

} // namespace
