// The two formats side by side: a state written by one restores in the other, and the same input
// with the same parameters gives the same samples bit for bit.
#include <string.h>

#include <algorithm>

#include <lv2/atom/atom.h>

#include "core/params.h"
#include "lv2/uris.h"
#include "plugin_fixture.h"
#include "tests/vst3/plugin_host.h"

namespace {

class CrossFormatTest : public Lv2PluginTest {
  protected:
    void SetUp() override {
        Lv2PluginTest::SetUp();
        char error[256] = "";
        ASSERT_NE(nullptr, velumModule(error)) << error;
    }

    void TearDown() override {
        vst3.stop();
        Lv2PluginTest::TearDown();
    }

    // The VST3 component's parameters set as a host automates them: one point at offset 0.
    void set_vst3_parameters(const float plain[3]) {
        ParameterChanges changes;
        const uint32_t ids[3] = {PARAM_ID_CUTOFF, PARAM_ID_LFO_AMT, PARAM_ID_LFO_SPEED};
        for (int i = 0; i < 3; ++i)
            changes.add(ids[i], 0, plain[i] / 15.0);
        AudioBlock empty(0);
        ASSERT_EQ(kResultOk, vst3.process(empty, &changes, nullptr));
    }

    ActiveComponent vst3;
};

void set_lv2_ports(TestInstance* t, const float plain[3]) {
    for (int i = 0; i < 3; ++i)
        t->controls[i] = plain[i];
}

} // namespace

TEST_F(CrossFormatTest, AStateSavedByTheVst3ComponentRestoresInTheLv2Plugin) {
    ASSERT_EQ(0, vst3.start(44100.0, true));
    const float plain[3] = {3.0f, 9.0f, 12.0f};
    set_vst3_parameters(plain);
    MemoryStream saved;
    ASSERT_EQ(kResultOk, vst3.component->vtbl->getState(vst3.component, saved.get()));

    TestInstance* t = open(44100.0);
    TestStateStore store;
    store.properties.push_back({test_urid(&host.urids, VELUM_LV2_URI "#state_data"), saved.bytes,
                                test_urid(&host.urids, LV2_ATOM__Chunk), 3});
    ASSERT_EQ(LV2_STATE_SUCCESS, test_instance_restore(t, &store));
    SavedState s = save_values(t);
    EXPECT_EQ(3.0f, s.values[0]);
    EXPECT_EQ(9.0f, s.values[1]);
    EXPECT_EQ(12.0f, s.values[2]);
}

TEST_F(CrossFormatTest, AStateSavedByTheLv2PluginRestoresInTheVst3Component) {
    TestInstance* t = open(48000.0);
    const float plain[3] = {4.0f, 5.0f, 6.0f};
    set_lv2_ports(t, plain);
    test_instance_run(t, 64);
    TestStateStore store;
    ASSERT_EQ(LV2_STATE_SUCCESS, test_instance_save(t, &store));

    ASSERT_EQ(0, vst3.start(48000.0, true));
    MemoryStream lv2_blob(store.properties[0].value);
    ASSERT_EQ(kResultOk, vst3.component->vtbl->setState(vst3.component, lv2_blob.get()));
    EXPECT_EQ((std::vector<float>{4, 5, 6}), vst3.savedValues());
}

TEST_F(CrossFormatTest, TheSameInputAndParametersGiveBitIdenticalAudio) {
    struct Setting {
        double rate;
        float plain[3];
    };
    const Setting settings[] = {
        {44100.0, {15.0f, 0.0f, 7.0f}},
        {48000.0, {8.0f, 15.0f, 0.0f}},
        {96000.0, {3.0f, 10.0f, 15.0f}},
    };
    const int32_t block = 512;
    for (const Setting& s : settings) {
        SCOPED_TRACE(s.rate);
        ASSERT_EQ(0, vst3.start(s.rate, true));
        set_vst3_parameters(s.plain);
        TestInstance* t = open(s.rate, nullptr, block);
        set_lv2_ports(t, s.plain);
        test_instance_run(t, 0);

        AudioBlock audio(block);
        for (int n = 0; n < 200; ++n) {
            fillNoise(audio.input, (uint32_t)n);
            std::copy(audio.input.begin(), audio.input.end(), t->in.begin());
            ASSERT_EQ(kResultOk, vst3.process(audio, nullptr, nullptr));
            test_instance_run(t, block);
            ASSERT_EQ(0, memcmp(audio.output.data(), t->out.data(), block * sizeof(float)))
                << "block " << n;
        }
        vst3.stop();
    }
}
