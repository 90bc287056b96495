// Saving and restoring on another thread while the audio thread runs: neither waits for the other
// and every value that crosses stays on the parameter grid.
#include <atomic>
#include <thread>

#include "plugin_fixture.h"
#include "state/state_document.h"

namespace {

bool on_grid(float v) {
    return v >= 0.0f && v <= 15.0f && v == (float)(int)v;
}

} // namespace

TEST_F(Lv2PluginTest, SaveAndRestoreWhileRunningKeepEveryValueOnTheGrid) {
    TestInstance* t = open(48000.0, nullptr, 256);
    std::atomic<bool> done{false};
    std::atomic<int> saves{0};
    std::atomic<int> bad_values{0};

    std::thread state_thread([&] {
        int n = 0;
        while (!done.load()) {
            TestStateStore store;
            if (test_instance_save(t, &store) != LV2_STATE_SUCCESS) ++bad_values;
            SavedState s{};
            if (store.properties.size() != 1 ||
                read_saved_state(store.properties[0].value, &s) != 0) {
                ++bad_values;
                continue;
            }
            for (float v : s.values)
                if (!on_grid(v)) ++bad_values;
            // Put back a state with other values, as a host loading a preset does.
            s.values[n % 3] = (float)(n % 16) + 0.5f;
            size_t size = 0;
            uint8_t* blob = build_state_blob("lv2", 48000.0f, s.values, &size);
            store.properties[0].value.assign(blob, blob + size);
            free(blob);
            if (test_instance_restore(t, &store) != LV2_STATE_SUCCESS) ++bad_values;
            ++saves;
            ++n;
        }
    });

    for (int block = 0; block < 4000 || (saves.load() < 50 && block < 400000); ++block) {
        t->controls[0] = (float)(block % 16);
        t->controls[2] = (float)((block / 7) % 16) + 0.25f;
        test_instance_run(t, block % 3 == 0 ? 0 : 256);
        ASSERT_GE(t->mod_cutoff, 0.0f);
        ASSERT_LE(t->mod_cutoff, 255.0f);
    }
    done = true;
    state_thread.join();
    EXPECT_EQ(0, bad_values.load());
    EXPECT_GE(saves.load(), 50);
}
