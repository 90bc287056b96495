// Shared set-up of the LV2 suites: the built binary opened as a host opens it, and a host whose
// features each test may leave out.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "test_instance.h"

class Lv2PluginTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(0, plugin_module_open(&module, VELUM_LV2_BINARY_PATH)) << VELUM_LV2_BINARY_PATH;
        descriptor = module.lv2_descriptor(0);
        ASSERT_NE(nullptr, descriptor);
        test_host_init(&host, true, true);
    }

    void TearDown() override {
        for (auto& t : instances)
            test_instance_close(t.get());
        instances.clear();
        plugin_module_close(&module);
    }

    // A connected, activated instance that the fixture closes; the host's features by default.
    TestInstance* open(double sample_rate = 48000.0, const LV2_Feature* const* features = nullptr,
                       size_t max_block = 4096) {
        instances.emplace_back(new TestInstance());
        TestInstance* t = instances.back().get();
        EXPECT_EQ(0, test_instance_open(t, descriptor, sample_rate,
                                        features ? features : host.features, max_block));
        return t;
    }

    // Saves `t` into a fresh store and reads the blob back; fails the test when it cannot.
    SavedState save_values(TestInstance* t) {
        TestStateStore store;
        SavedState s{};
        EXPECT_EQ(LV2_STATE_SUCCESS, test_instance_save(t, &store));
        if (store.properties.size() != 1) {
            ADD_FAILURE() << "expected one stored property, got " << store.properties.size();
            return s;
        }
        EXPECT_EQ(0, read_saved_state(store.properties[0].value, &s));
        return s;
    }

    PluginModule module{};
    const LV2_Descriptor* descriptor = nullptr;
    TestHost host;
    std::vector<std::unique_ptr<TestInstance>> instances;
};
