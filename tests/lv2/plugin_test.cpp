// The plug-in's life cycle through the exported descriptor: ports, activation, run.
#include <math.h>
#include <string.h>
#include <xmmintrin.h>

#include <string>

#include "lv2/uris.h"
#include "plugin_fixture.h"

namespace {

// With lfo_amt at 0 every LFO step reports the base byte of the cutoff.
float base_index(float cutoff) {
    return cutoff * 16.0f + 8.0f;
}

void fill_saw(std::vector<float>* buffer) {
    for (size_t i = 0; i < buffer->size(); ++i)
        (*buffer)[i] = (float)(i % 200) / 100.0f - 1.0f;
}

} // namespace

TEST_F(Lv2PluginTest, DescriptorZeroIsTheOnlyDescriptorAndStaysTheSame) {
    EXPECT_EQ(descriptor, module.lv2_descriptor(0));
    EXPECT_EQ(nullptr, module.lv2_descriptor(1));
    EXPECT_EQ(nullptr, module.lv2_descriptor(0xFFFFFFFFu));
    std::string uri = descriptor->URI;
    EXPECT_EQ(0u, uri.rfind("https://", 0));
    ASSERT_GE(uri.size(), 6u);
    EXPECT_EQ("/velum", uri.substr(uri.size() - 6));
    EXPECT_EQ(nullptr, descriptor->deactivate);
    EXPECT_NE(nullptr, descriptor->instantiate);
    EXPECT_NE(nullptr, descriptor->run);
    EXPECT_NE(nullptr, descriptor->cleanup);
}

TEST_F(Lv2PluginTest, ExtensionDataOffersTheStateInterfaceAndNothingElse) {
    auto* state = (const LV2_State_Interface*)descriptor->extension_data(LV2_STATE__interface);
    ASSERT_NE(nullptr, state);
    EXPECT_NE(nullptr, state->save);
    EXPECT_NE(nullptr, state->restore);
    EXPECT_EQ(nullptr, descriptor->extension_data("http://lv2plug.in/ns/ext/options#interface"));
    EXPECT_EQ(nullptr, descriptor->extension_data("http://lv2plug.in/ns/ext/worker#interface"));
    EXPECT_EQ(nullptr, descriptor->extension_data(LV2_STATE__interface "x"));
    EXPECT_EQ(nullptr, descriptor->extension_data(""));
}

TEST_F(Lv2PluginTest, ControlPortValuesAreRoundedHalfAwayFromZeroAndClamped) {
    struct Case {
        float port;
        float applied;
    };
    const Case cases[] = {{7.5f, 8.0f},      {7.49f, 7.0f}, {-0.5f, 0.0f},  {-0.49f, 0.0f},
                          {100.0f, 15.0f},   {NAN, 0.0f},   {14.5f, 15.0f}, {-INFINITY, 0.0f},
                          {INFINITY, 15.0f}, {3.0f, 3.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.port);
        TestInstance* t = open();
        t->controls[0] = c.port;
        t->controls[2] = c.port;
        test_instance_run(t, 1);
        EXPECT_EQ(base_index(c.applied), t->mod_cutoff);
        t->controls[1] = c.port;
        test_instance_run(t, 0);
        SavedState s = save_values(t);
        for (int port = 0; port < 3; ++port) {
            EXPECT_EQ(c.applied, s.values[port]);
            EXPECT_FALSE(signbit(s.values[port])) << "no negative zero is saved";
        }
    }
}

TEST_F(Lv2PluginTest, ActivateRoundsAndClampsThePortsAsRunDoes) {
    TestInstance* t = open();
    t->controls[0] = 100.0f;
    t->controls[1] = NAN;
    t->controls[2] = -3.0f;
    descriptor->activate(t->handle);
    // The activation's first report is the base byte of the clamped cutoff 15.
    test_instance_run(t, 0);
    EXPECT_EQ(248.0f, t->mod_cutoff);

    descriptor->activate(t->handle);
    SavedState s = save_values(t);
    EXPECT_EQ(15.0f, s.values[0]);
    EXPECT_EQ(0.0f, s.values[1]);
    EXPECT_EQ(0.0f, s.values[2]);

    t->controls[0] = 7.5f;
    descriptor->activate(t->handle);
    test_instance_run(t, 0);
    EXPECT_EQ(base_index(8.0f), t->mod_cutoff);
}

TEST_F(Lv2PluginTest, StateSavedRightAfterActivationWithANaNPortRestores) {
    TestInstance* a = open();
    a->controls[1] = NAN;
    descriptor->activate(a->handle);
    TestStateStore store;
    ASSERT_EQ(LV2_STATE_SUCCESS, test_instance_save(a, &store));
    TestInstance* b = open();
    EXPECT_EQ(LV2_STATE_SUCCESS, test_instance_restore(b, &store));
}

TEST_F(Lv2PluginTest, AnUnconnectedControlPortStartsAtItsDefaultAndStaysThere) {
    TestInstance* t = open();
    t->controls[1] = 9.0f;
    test_instance_run(t, 16);
    descriptor->connect_port(t->handle, 3, nullptr);
    descriptor->activate(t->handle);
    for (int i = 0; i < 4; ++i)
        test_instance_run(t, 64);
    EXPECT_EQ(0.0f, save_values(t).values[1]);

    t->controls[1] = 5.0f;
    descriptor->connect_port(t->handle, 3, &t->controls[1]);
    test_instance_run(t, 0);
    EXPECT_EQ(5.0f, save_values(t).values[1]);
}

TEST_F(Lv2PluginTest, ZeroLengthRunAppliesPortChangesAndWritesModCutoff) {
    TestInstance* t = open();
    t->controls[0] = 3.0f;
    t->mod_cutoff = -1.0f;
    test_instance_run(t, 0);
    // No LFO step has happened yet, so the report is still the activation's.
    EXPECT_EQ(248.0f, t->mod_cutoff);
    EXPECT_EQ(3.0f, save_values(t).values[0]);
    test_instance_run(t, 1);
    EXPECT_EQ(base_index(3.0f), t->mod_cutoff);
}

TEST_F(Lv2PluginTest, DefaultsReport248OnEveryRunZeroLengthIncluded) {
    TestInstance* t = open(44100.0);
    fill_saw(&t->in);
    const uint32_t blocks[] = {0, 1, 0, 64, 441, 0, 1000, 4096, 0, 17, 4096};
    for (uint32_t n : blocks) {
        SCOPED_TRACE(n);
        t->mod_cutoff = -1.0f;
        test_instance_run(t, n);
        EXPECT_EQ(248.0f, t->mod_cutoff);
    }
}

TEST_F(Lv2PluginTest, TheLfoMovesModCutoffWhenItHasDepth) {
    TestInstance* t = open(48000.0);
    t->controls[1] = 15.0f;
    t->controls[2] = 15.0f;
    float lowest = 255.0f;
    for (int i = 0; i < 200; ++i) {
        test_instance_run(t, 480);
        EXPECT_GE(t->mod_cutoff, 0.0f);
        EXPECT_LE(t->mod_cutoff, 255.0f);
        lowest = fminf(lowest, t->mod_cutoff);
    }
    // Cutoff 15 at full depth swings from the clip at 255 down to 121 at the wave's minimum.
    EXPECT_EQ(121.0f, lowest);
}

TEST_F(Lv2PluginTest, PortIndicesPastTheLastAreIgnored) {
    TestInstance* t = open();
    fill_saw(&t->in);
    float sentinel[64];
    for (float& v : sentinel)
        v = 42.0f;
    descriptor->connect_port(t->handle, 6, sentinel);
    descriptor->connect_port(t->handle, 1000, nullptr);
    test_instance_run(t, 64);
    for (float v : sentinel)
        EXPECT_EQ(42.0f, v);
    EXPECT_EQ(248.0f, t->mod_cutoff);
}

TEST_F(Lv2PluginTest, ProcessingInPlaceGivesTheSameSamples) {
    TestInstance* separate = open(44100.0, nullptr, 512);
    TestInstance* in_place = open(44100.0, nullptr, 512);
    descriptor->connect_port(in_place->handle, 1, in_place->in.data());
    separate->controls[1] = in_place->controls[1] = 12.0f;
    for (int block = 0; block < 20; ++block) {
        fill_saw(&separate->in);
        fill_saw(&in_place->in);
        test_instance_run(separate, 512);
        test_instance_run(in_place, 512);
        ASSERT_EQ(0, memcmp(separate->out.data(), in_place->in.data(), 512 * sizeof(float)));
    }
}

TEST_F(Lv2PluginTest, TheOutputIsFiniteAndCarriesTheSignal) {
    TestInstance* t = open(44100.0, nullptr, 4410);
    t->controls[0] = 8.0f;
    t->controls[1] = 15.0f;
    double energy = 0.0;
    for (int block = 0; block < 10; ++block) {
        fill_saw(&t->in);
        test_instance_run(t, 4410);
        for (float v : t->out) {
            ASSERT_TRUE(isfinite(v));
            energy += (double)v * v;
        }
    }
    EXPECT_GT(energy, 1.0);
}

TEST_F(Lv2PluginTest, WithoutTheUridMapOneMessageIsLoggedAndTheInstancePlays) {
    TestHost no_map;
    test_host_init(&no_map, false, true);
    TestInstance* t = open(48000.0, no_map.features);
    ASSERT_EQ(1u, no_map.log.messages.size());
    EXPECT_EQ("Missing feature <" LV2_URID__map ">\n", no_map.log.messages[0].text);
    // Without a map the log utilities have no Error URID to give.
    EXPECT_EQ(0u, no_map.log.messages[0].type);
    fill_saw(&t->in);
    t->controls[0] = 3.0f;
    test_instance_run(t, 64);
    EXPECT_EQ(base_index(3.0f), t->mod_cutoff);
    EXPECT_EQ(1u, no_map.log.messages.size());
}

TEST_F(Lv2PluginTest, AHostWithEveryFeatureSeesNoMessage) {
    open();
    EXPECT_TRUE(host.log.messages.empty());
}

TEST_F(Lv2PluginTest, WithoutALogTheMessageGoesToStandardError) {
    const LV2_Feature* none[] = {nullptr};
    testing::internal::CaptureStderr();
    TestInstance* t = open(48000.0, none);
    EXPECT_EQ("Missing feature <" LV2_URID__map ">\n", testing::internal::GetCapturedStderr());
    test_instance_run(t, 1);
    EXPECT_EQ(248.0f, t->mod_cutoff);

    // A host may also pass no features array at all.
    testing::internal::CaptureStderr();
    LV2_Handle bare = descriptor->instantiate(descriptor, 48000.0, "", nullptr);
    EXPECT_EQ("Missing feature <" LV2_URID__map ">\n", testing::internal::GetCapturedStderr());
    ASSERT_NE(nullptr, bare);
    descriptor->cleanup(bare);
}

TEST_F(Lv2PluginTest, ASampleRateBelowOneLfoStepPerSampleStillRuns) {
    TestInstance* t = open(22.0, nullptr, 64);
    fill_saw(&t->in);
    t->controls[1] = 15.0f;
    for (int i = 0; i < 8; ++i) {
        test_instance_run(t, 64);
        EXPECT_GE(t->mod_cutoff, 0.0f);
        EXPECT_LE(t->mod_cutoff, 255.0f);
    }
}

TEST_F(Lv2PluginTest, RunPutsTheFlushToZeroAndDenormalsAreZeroBitsBack) {
    const unsigned ftz_daz = 0x8040u;
    const unsigned round_toward_zero = 0x6000u;
    const unsigned original = _mm_getcsr();
    TestInstance* t = open();
    fill_saw(&t->in);

    _mm_setcsr(original & ~ftz_daz);
    test_instance_run(t, 256);
    unsigned after_off = _mm_getcsr();
    _mm_setcsr(original | ftz_daz | round_toward_zero);
    test_instance_run(t, 256);
    unsigned after_on = _mm_getcsr();
    _mm_setcsr(original);

    EXPECT_EQ(original & ~ftz_daz, after_off);
    EXPECT_EQ(original | ftz_daz | round_toward_zero, after_on);
}
