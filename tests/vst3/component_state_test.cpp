// The component's saved state through getState/setState: round trips, streams that fall short,
// and states that are refused as a whole.
#include <gtest/gtest.h>
#include <math.h>

#include "core/params.h"
#include "plugin_host.h"

namespace {

class ComponentState : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(nullptr, velumModule());
        ASSERT_EQ(0, plugin.start(44100.0, true));
        c = plugin.component;
    }
    void TearDown() override { plugin.stop(); }

    std::vector<uint8_t> save() {
        MemoryStream s;
        EXPECT_EQ(kResultOk, c->vtbl->getState(c, s.get()));
        return s.bytes;
    }
    void setCutoff(double normalized) {
        ParameterChanges in;
        in.add(PARAM_ID_CUTOFF, 0, normalized);
        AudioBlock block(64);
        plugin.process(block, &in, nullptr);
    }

    ActiveComponent plugin;
    IComponent* c = nullptr;
};

TEST_F(ComponentState, IsTheDefaultsInAFiveThousandSixHundredThirtyTwoByteBlob) {
    std::vector<uint8_t> blob = save();
    EXPECT_EQ(5632u, blob.size());
    EXPECT_EQ((std::vector<float>{15, 0, 7}), plugin.savedValues());
}

TEST_F(ComponentState, RoundTripsIntoAnotherComponent) {
    setCutoff(3.0 / 15.0);
    MemoryStream stream(save());
    stream.position = (int64_t)stream.bytes.size(); // read from the start whatever the position

    ActiveComponent other;
    ASSERT_EQ(0, other.start(48000.0, true));
    ASSERT_EQ(kResultOk, other.component->vtbl->setState(other.component, stream.get()));
    std::vector<float> v = other.savedValues();
    ASSERT_EQ(3u, v.size());
    EXPECT_EQ(3.0f, v[0]);

    // The engine picks the restored cutoff up at its next block: base byte 3 * 16 + 8.
    AudioBlock block(512);
    ParameterChanges out;
    other.process(block, nullptr, &out);
    const ParamQueue* q = out.find(PARAM_ID_MOD_CUTOFF);
    ASSERT_NE(nullptr, q);
    EXPECT_EQ(56.0 / 255.0, q->values[0]);
    other.stop();
}

TEST_F(ComponentState, RestoresRoundedAndClampedValuesFromEitherFormat) {
    MemoryStream vst3(stateBlob("vst3", 7.5f, -0.5f, 14.49f));
    ASSERT_EQ(kResultOk, c->vtbl->setState(c, vst3.get()));
    EXPECT_EQ((std::vector<float>{8, 0, 14}), plugin.savedValues());
    MemoryStream lv2(stateBlob("lv2", 100.0f, 12.0f, -3.0f));
    ASSERT_EQ(kResultOk, c->vtbl->setState(c, lv2.get()));
    EXPECT_EQ((std::vector<float>{15, 12, 0}), plugin.savedValues());
}

TEST_F(ComponentState, IsRefusedWholeFromStreamsThatAreEmptyBrokenOrShort) {
    setCutoff(5.0 / 15.0);
    std::vector<uint8_t> good = stateBlob("vst3", 1, 2, 3);
    std::vector<uint8_t> garbage(5632);
    for (size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = (uint8_t)(i * 7 + 3);
    std::vector<MemoryStream> refused;
    refused.emplace_back();
    refused.emplace_back(garbage);
    refused.emplace_back(std::vector<uint8_t>(good.begin(), good.begin() + 3000));
    refused.emplace_back(good);
    refused.back().failSeek = true;
    refused.emplace_back(good);
    refused.back().readLimit = 512;
    std::vector<uint8_t> nanCutoff = stateBlob("vst3", NAN, 2, 3);
    refused.emplace_back(nanCutoff);
    for (MemoryStream& s : refused)
        EXPECT_EQ(kResultFalse, c->vtbl->setState(c, s.get()));
    EXPECT_EQ(kResultFalse, c->vtbl->setState(c, nullptr));
    EXPECT_EQ((std::vector<float>{5, 0, 7}), plugin.savedValues());
}

TEST_F(ComponentState, IsNotSavedIntoAStreamThatTakesOnlyPart) {
    for (int64_t limit : {0, 1000, 5631}) {
        MemoryStream s;
        s.acceptLimit = limit;
        EXPECT_EQ(kResultFalse, c->vtbl->getState(c, s.get())) << limit;
    }
    MemoryStream exact;
    exact.acceptLimit = 5632;
    EXPECT_EQ(kResultOk, c->vtbl->getState(c, exact.get()));
    EXPECT_EQ(kResultFalse, c->vtbl->getState(c, nullptr));
}

TEST_F(ComponentState, SurvivesReinitialisationAsDefaults) {
    setCutoff(0.0);
    EXPECT_EQ((std::vector<float>{0, 0, 7}), plugin.savedValues());
    c->vtbl->setActive(c, 0);
    ASSERT_EQ(kResultOk, c->vtbl->base.terminate(c));
    ASSERT_EQ(kResultOk, c->vtbl->base.initialize(c, hostContext()));
    EXPECT_EQ((std::vector<float>{15, 0, 7}), plugin.savedValues());
}

} // namespace
