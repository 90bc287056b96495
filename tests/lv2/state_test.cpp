// Saving and restoring through the plug-in's state interface, with a host's store and retrieve.
#include <math.h>
#include <stdlib.h>

#include <string>

#include <lv2/atom/atom.h>

#include "lv2/uris.h"
#include "plugin_fixture.h"
#include "state/state_document.h"

namespace {

const std::string property_uri = std::string(VELUM_LV2_URI) + "#state_data";

// A store holding one property: the blob `build_state_blob` makes of these values.
void put_blob(TestHost* host, TestStateStore* store, const char* format, const float values[3]) {
    size_t size = 0;
    uint8_t* blob = build_state_blob(format, 48000.0f, values, &size);
    ASSERT_NE(nullptr, blob);
    store->properties.push_back({test_urid(&host->urids, property_uri.c_str()),
                                 std::vector<uint8_t>(blob, blob + size),
                                 test_urid(&host->urids, LV2_ATOM__Chunk), 3});
    free(blob);
}

// Instances whose control ports are disconnected, so that no port overrides a restored state.
class Lv2StateTest : public Lv2PluginTest {
  protected:
    TestInstance* open_without_controls() {
        TestInstance* t = open();
        for (uint32_t port = 2; port <= 4; ++port)
            descriptor->connect_port(t->handle, port, nullptr);
        return t;
    }
};

void expect_values(const SavedState& s, float cutoff, float lfo_amt, float lfo_speed) {
    EXPECT_EQ(cutoff, s.values[0]);
    EXPECT_EQ(lfo_amt, s.values[1]);
    EXPECT_EQ(lfo_speed, s.values[2]);
}

} // namespace

TEST_F(Lv2StateTest, SaveStoresTheStateBlobAsOnePortableChunk) {
    TestInstance* t = open(44100.0);
    t->controls[0] = 3.0f;
    t->controls[1] = 9.0f;
    t->controls[2] = 12.0f;
    test_instance_run(t, 64);
    TestStateStore store;
    ASSERT_EQ(LV2_STATE_SUCCESS, test_instance_save(t, &store));
    ASSERT_EQ(1, store.store_calls);
    const StoredProperty& p = store.properties[0];
    EXPECT_EQ(test_urid(&host.urids, property_uri.c_str()), p.key);
    EXPECT_EQ(test_urid(&host.urids, LV2_ATOM__Chunk), p.type);
    EXPECT_EQ((uint32_t)(LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE), p.flags);
    EXPECT_EQ(5632u, p.value.size());
    SavedState s{};
    ASSERT_EQ(0, read_saved_state(p.value, &s));
    EXPECT_EQ("lv2", s.format);
    EXPECT_EQ(44100.0f, s.sample_rate);
    expect_values(s, 3.0f, 9.0f, 12.0f);
    EXPECT_TRUE(host.log.messages.empty());
}

TEST_F(Lv2StateTest, ASavedStateRestoresInAnotherInstance) {
    TestInstance* a = open();
    a->controls[0] = 3.0f;
    a->controls[1] = 9.0f;
    a->controls[2] = 12.0f;
    test_instance_run(a, 64);
    TestStateStore store;
    ASSERT_EQ(LV2_STATE_SUCCESS, test_instance_save(a, &store));

    TestInstance* b = open_without_controls();
    ASSERT_EQ(LV2_STATE_SUCCESS, test_instance_restore(b, &store));
    EXPECT_EQ(1, store.retrieve_calls);
    // A save before the audio thread has taken the state over already holds it.
    expect_values(save_values(b), 3.0f, 9.0f, 12.0f);
    test_instance_run(b, 1);
    expect_values(save_values(b), 3.0f, 9.0f, 12.0f);
    EXPECT_TRUE(host.log.messages.empty());
}

TEST_F(Lv2StateTest, ABlobOfEitherFormatReachesTheEngineAtTheNextRun) {
    for (const char* format : {"lv2", "vst3"}) {
        SCOPED_TRACE(format);
        TestInstance* t = open_without_controls();
        TestStateStore store;
        const float values[3] = {3.0f, 0.0f, 6.0f};
        put_blob(&host, &store, format, values);
        ASSERT_EQ(LV2_STATE_SUCCESS, test_instance_restore(t, &store));
        test_instance_run(t, 1);
        EXPECT_EQ(3.0f * 16 + 8, t->mod_cutoff);
        expect_values(save_values(t), 3.0f, 0.0f, 6.0f);
    }
}

TEST_F(Lv2StateTest, AControlPortThatContradictsARestoredStateWins) {
    TestInstance* t = open();
    t->controls[0] = 10.0f;
    test_instance_run(t, 1);
    TestStateStore store;
    const float values[3] = {3.0f, 0.0f, 4.0f};
    put_blob(&host, &store, "lv2", values);
    ASSERT_EQ(LV2_STATE_SUCCESS, test_instance_restore(t, &store));
    t->controls[2] = 4.0f;
    // One LFO period, so that the run takes a step with whichever base byte won.
    test_instance_run(t, 480);
    EXPECT_EQ(10.0f * 16 + 8, t->mod_cutoff);
    expect_values(save_values(t), 10.0f, 0.0f, 4.0f);
}

TEST_F(Lv2StateTest, WithoutTheUridMapSaveAndRestoreRefuseWithOneMessageEach) {
    TestHost no_map;
    test_host_init(&no_map, false, true);
    TestInstance* t = open(48000.0, no_map.features);
    no_map.log.messages.clear();
    TestStateStore store;
    EXPECT_EQ(LV2_STATE_ERR_UNKNOWN, test_instance_save(t, &store));
    EXPECT_EQ(0, store.store_calls);
    ASSERT_EQ(1u, no_map.log.messages.size());
    EXPECT_EQ("Host is trying to store state but didn't provide URID map\n",
              no_map.log.messages[0].text);

    const float values[3] = {3.0f, 0.0f, 7.0f};
    put_blob(&no_map, &store, "lv2", values);
    EXPECT_EQ(LV2_STATE_ERR_UNKNOWN, test_instance_restore(t, &store));
    EXPECT_EQ(0, store.retrieve_calls);
    ASSERT_EQ(2u, no_map.log.messages.size());
    EXPECT_EQ("Host is trying to restore state but didn't provide URID map\n",
              no_map.log.messages[1].text);
    test_instance_run(t, 1);
    EXPECT_EQ(248.0f, t->mod_cutoff);
}

TEST_F(Lv2StateTest, ARetrieveThatFindsNothingGivesNoPropertyAndNamesIt) {
    TestInstance* t = open();
    TestStateStore empty;
    EXPECT_EQ(LV2_STATE_ERR_NO_PROPERTY, test_instance_restore(t, &empty));
    EXPECT_EQ(1, empty.retrieve_calls);
    ASSERT_EQ(1u, host.log.messages.size());
    EXPECT_EQ("Cannot restore state since property <" + property_uri + "> could not be retrieved\n",
              host.log.messages[0].text);
    EXPECT_EQ(test_urid(&host.urids, LV2_LOG__Error), host.log.messages[0].type);
}

TEST_F(Lv2StateTest, AStoreThatFailsMakesSaveFailWithoutAMessage) {
    TestInstance* t = open();
    TestStateStore store;
    store.store_result = LV2_STATE_ERR_NO_SPACE;
    EXPECT_EQ(LV2_STATE_ERR_UNKNOWN, test_instance_save(t, &store));
    EXPECT_EQ(1, store.store_calls);
    EXPECT_TRUE(host.log.messages.empty());
}

TEST_F(Lv2StateTest, AValueStoredWithAnotherTypeRestoresWhenItIsAValidBlob) {
    TestInstance* t = open_without_controls();
    TestStateStore store;
    const float values[3] = {15.0f, 6.0f, 7.0f};
    put_blob(&host, &store, "lv2", values);
    store.properties[0].type = test_urid(&host.urids, LV2_ATOM__String);
    store.properties[0].flags = 0;
    ASSERT_EQ(LV2_STATE_SUCCESS, test_instance_restore(t, &store));
    test_instance_run(t, 0);
    EXPECT_EQ(6.0f, save_values(t).values[1]);
}

TEST_F(Lv2StateTest, ABlobThatFailsTheChecksChangesNothingAndLogsNothing) {
    TestInstance* t = open_without_controls();
    const float good[3] = {3.0f, 4.0f, 5.0f};
    const float with_nan[3] = {3.0f, NAN, 5.0f};
    TestStateStore valid;
    put_blob(&host, &valid, "lv2", good);

    TestStateStore bad[4];
    put_blob(&host, &bad[0], "lv2", with_nan);
    bad[1] = valid;
    bad[1].properties[0].value.resize(1000);
    bad[2] = valid;
    bad[2].properties[0].value.assign(5632, 0x5A);
    bad[3] = valid;
    bad[3].properties[0].value.clear();
    for (TestStateStore& store : bad) {
        EXPECT_EQ(LV2_STATE_ERR_UNKNOWN, test_instance_restore(t, &store));
        test_instance_run(t, 1);
        expect_values(save_values(t), 15.0f, 0.0f, 7.0f);
        EXPECT_EQ(248.0f, t->mod_cutoff);
    }
    EXPECT_TRUE(host.log.messages.empty());
}

TEST_F(Lv2StateTest, RestoredValuesAreRoundedInSinglePrecisionAndClamped) {
    struct Case {
        float stored[3];
        float restored[3];
    };
    // 0.49999997 is the largest float below one half: plus 0.5 in single precision it is 1.
    const Case cases[] = {
        {{7.5f, -0.5f, 0.49999997f}, {8.0f, 0.0f, 1.0f}},
        {{14.49f, 100.0f, INFINITY}, {14.0f, 15.0f, 15.0f}},
        {{-INFINITY, -0.4f, 15.5f}, {0.0f, 0.0f, 15.0f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored[2]);
        TestInstance* t = open();
        TestStateStore store;
        put_blob(&host, &store, "vst3", c.stored);
        ASSERT_EQ(LV2_STATE_SUCCESS, test_instance_restore(t, &store));
        SavedState s = save_values(t);
        expect_values(s, c.restored[0], c.restored[1], c.restored[2]);
        for (float v : s.values)
            EXPECT_FALSE(signbit(v));
    }
}
