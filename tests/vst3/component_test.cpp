// The audio component driven as a host drives it: interfaces and their shared count, life cycle,
// buses, arrangements, and the block with its two parameter passes and the output parameter.
#include <gtest/gtest.h>
#include <xmmintrin.h>

#include <algorithm>
#include <string>

#include "core/params.h"
#include "plugin_host.h"

namespace {

const int32_t kBlock = 512;

class ComponentInterfaces : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(nullptr, velumModule());
        c = newComponent();
        ASSERT_NE(nullptr, c);
        ASSERT_EQ(kResultOk, c->vtbl->base.initialize(c, hostContext()));
        p = queryAs<IAudioProcessor>(c, IAudioProcessor_iid);
        ASSERT_NE(nullptr, p);
    }
    void TearDown() override {
        if (p) releaseRef(p);
        if (c) {
            EXPECT_EQ(0u, releaseRef(c));
        }
    }
    IComponent* c = nullptr;
    IAudioProcessor* p = nullptr;
};

TEST_F(ComponentInterfaces, ShareOneCountAndFindEachOtherFromAnyInterface) {
    EXPECT_EQ(3u, addRef(c)); // created 1, processor query 2
    EXPECT_EQ(2u, releaseRef(c));
    IConnectionPoint* cp = queryAs<IConnectionPoint>(p, IConnectionPoint_iid);
    ASSERT_NE(nullptr, cp);
    EXPECT_EQ(4u, addRef(cp));
    EXPECT_EQ(3u, releaseRef(cp));
    EXPECT_EQ(cp, queryAs<IConnectionPoint>(c, IConnectionPoint_iid));
    EXPECT_EQ(3u, releaseRef(cp));
    for (const Uid* iid : {&FUnknown_iid, &IPluginBase_iid, &IComponent_iid}) {
        EXPECT_EQ(c, queryAs<IComponent>(cp, *iid));
        EXPECT_EQ(3u, releaseRef(c));
    }
    IProcessContextRequirements* r =
        queryAs<IProcessContextRequirements>(cp, IProcessContextRequirements_iid);
    ASSERT_NE(nullptr, r);
    EXPECT_EQ(0u, r->vtbl->getProcessContextRequirements(r));
    EXPECT_EQ(p, queryAs<IAudioProcessor>(r, IAudioProcessor_iid));
    releaseRef(p);
    releaseRef(r);
    void* obj = c;
    EXPECT_EQ(kNoInterface, c->vtbl->unknown.queryInterface(c, IEditController_iid.bytes, &obj));
    EXPECT_EQ(nullptr, obj);
    EXPECT_EQ(kNoInterface, p->vtbl->unknown.queryInterface(p, IPlugView_iid.bytes, &obj));
    EXPECT_EQ(4u, addRef(c)) << "failed queries count nothing";
    releaseRef(c);
    releaseRef(cp);
}

TEST_F(ComponentInterfaces, InitializeIsRefusedOnceInitializedUntilTerminate) {
    EXPECT_EQ(kResultFalse, c->vtbl->base.initialize(c, hostContext()));
    EXPECT_EQ(kResultOk, c->vtbl->base.terminate(c));
    EXPECT_EQ(kResultOk, c->vtbl->base.initialize(c, hostContext()));
    EXPECT_EQ(kResultOk, c->vtbl->base.terminate(c));
    EXPECT_EQ(kResultOk, c->vtbl->base.terminate(c));
    EXPECT_EQ(kResultOk, c->vtbl->base.initialize(c, hostContext()));
}

TEST_F(ComponentInterfaces, NameTheControllerClass) {
    char cid[16] = {};
    EXPECT_EQ(kResultOk, c->vtbl->getControllerClassId(c, cid));
    EXPECT_EQ(0, memcmp(cid, EditController_cid.bytes, 16));
    EXPECT_EQ(kResultFalse, c->vtbl->getControllerClassId(c, nullptr));
}

TEST_F(ComponentInterfaces, DescribeOneMonoAudioBusEachWay) {
    EXPECT_EQ(1, c->vtbl->getBusCount(c, kAudio, kInput));
    EXPECT_EQ(1, c->vtbl->getBusCount(c, kAudio, kOutput));
    EXPECT_EQ(0, c->vtbl->getBusCount(c, kEvent, kInput));
    EXPECT_EQ(0, c->vtbl->getBusCount(c, kEvent, kOutput));
    EXPECT_EQ(0, c->vtbl->getBusCount(c, kAudio, 2));
    const char* names[2] = {"Input", "Output"};
    for (BusDirection dir : {kInput, kOutput}) {
        BusInfo bus;
        memset(&bus, 0x33, sizeof bus);
        ASSERT_EQ(kResultOk, c->vtbl->getBusInfo(c, kAudio, dir, 0, &bus));
        EXPECT_EQ(kAudio, bus.mediaType);
        EXPECT_EQ(dir, bus.direction);
        EXPECT_EQ(1, bus.channelCount);
        std::u16string name(bus.name);
        EXPECT_EQ(std::string(names[dir]), std::string(name.begin(), name.end()));
        EXPECT_EQ(kMain, bus.busType);
        EXPECT_EQ(1u, bus.flags);
    }
    BusInfo bus;
    EXPECT_EQ(kInvalidArgument, c->vtbl->getBusInfo(c, kEvent, kInput, 0, &bus));
    EXPECT_EQ(kInvalidArgument, c->vtbl->getBusInfo(c, kAudio, kInput, 1, &bus));
    EXPECT_EQ(kInvalidArgument, c->vtbl->getBusInfo(c, kAudio, kInput, -1, &bus));
    EXPECT_EQ(kInvalidArgument, c->vtbl->getBusInfo(c, kAudio, 2, 0, &bus));
    EXPECT_EQ(kInvalidArgument, c->vtbl->getBusInfo(c, kAudio, kOutput, 0, nullptr));
    EXPECT_EQ(kResultOk, c->vtbl->activateBus(c, kAudio, kInput, 0, 1));
    EXPECT_EQ(kResultOk, c->vtbl->activateBus(c, kAudio, kOutput, 0, 0));
    EXPECT_EQ(kInvalidArgument, c->vtbl->activateBus(c, kEvent, kInput, 0, 1));
    EXPECT_EQ(kInvalidArgument, c->vtbl->activateBus(c, kAudio, kOutput, 1, 1));
    EXPECT_EQ(kInvalidArgument, c->vtbl->activateBus(c, kAudio, 5, 0, 1));
    RoutingInfo in = {}, out = {};
    EXPECT_EQ(kNotImplemented, c->vtbl->getRoutingInfo(c, &in, &out));
    EXPECT_EQ(kNotImplemented, c->vtbl->setIoMode(c, 1));
}

TEST_F(ComponentInterfaces, AcceptOnlyMonoInAndMonoOut) {
    SpeakerArrangement mono = kSpeakerArrMono, stereo = kSpeakerArrStereo;
    SpeakerArrangement monos[2] = {kSpeakerArrMono, kSpeakerArrMono};
    EXPECT_EQ(kResultOk, p->vtbl->setBusArrangements(p, &mono, 1, &mono, 1));
    EXPECT_EQ(kResultFalse, p->vtbl->setBusArrangements(p, &stereo, 1, &mono, 1));
    EXPECT_EQ(kResultFalse, p->vtbl->setBusArrangements(p, &mono, 1, &stereo, 1));
    EXPECT_EQ(kResultFalse, p->vtbl->setBusArrangements(p, monos, 2, &mono, 1));
    EXPECT_EQ(kResultFalse, p->vtbl->setBusArrangements(p, nullptr, 0, nullptr, 0));
    EXPECT_EQ(kInvalidArgument, p->vtbl->setBusArrangements(p, &mono, -1, &mono, 1));
    EXPECT_EQ(kInvalidArgument, p->vtbl->setBusArrangements(p, &mono, 1, &mono, -1));
    EXPECT_EQ(kInvalidArgument, p->vtbl->setBusArrangements(p, nullptr, 1, nullptr, 1));
    for (BusDirection dir : {kInput, kOutput}) {
        SpeakerArrangement arr = 0;
        EXPECT_EQ(kResultOk, p->vtbl->getBusArrangement(p, dir, 0, &arr));
        EXPECT_EQ(0x80000u, arr);
    }
    SpeakerArrangement arr = 0;
    EXPECT_EQ(kInvalidArgument, p->vtbl->getBusArrangement(p, kInput, 1, &arr));
    EXPECT_EQ(kInvalidArgument, p->vtbl->getBusArrangement(p, 2, 0, &arr));
    EXPECT_EQ(kInvalidArgument, p->vtbl->getBusArrangement(p, kOutput, 0, nullptr));
}

TEST_F(ComponentInterfaces, ProcessThirtyTwoBitSamplesWithoutLatencyOrTail) {
    EXPECT_EQ(kResultOk, p->vtbl->canProcessSampleSize(p, kSample32));
    EXPECT_EQ(kNotImplemented, p->vtbl->canProcessSampleSize(p, kSample64));
    EXPECT_EQ(0u, p->vtbl->getLatencySamples(p));
    EXPECT_EQ(0u, p->vtbl->getTailSamples(p));
    EXPECT_EQ(kNotImplemented, p->vtbl->setProcessing(p, 1));
    EXPECT_EQ(kInvalidArgument, p->vtbl->setupProcessing(p, nullptr));
}

TEST_F(ComponentInterfaces, ConnectToAnyPartnerAndExchangeNothing) {
    IConnectionPoint* cp = queryAs<IConnectionPoint>(c, IConnectionPoint_iid);
    ASSERT_NE(nullptr, cp);
    EXPECT_EQ(kInvalidArgument, cp->vtbl->connect(cp, nullptr));
    EXPECT_EQ(kResultOk, cp->vtbl->connect(cp, cp));
    EXPECT_EQ(kResultOk, cp->vtbl->notify(cp, nullptr));
    EXPECT_EQ(kResultOk, cp->vtbl->disconnect(cp, cp));
    releaseRef(cp);
}

// --- blocks ---

class Blocks : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(nullptr, velumModule());
        ASSERT_EQ(0, plugin.start(44100.0, true));
    }
    void TearDown() override { plugin.stop(); }

    // Runs one block and returns the points reported for mod_cutoff (empty: none).
    std::vector<std::pair<int32_t, double>> run(AudioBlock& block, ParameterChanges* in) {
        ParameterChanges out;
        EXPECT_EQ(kResultOk, plugin.process(block, in, &out));
        std::vector<std::pair<int32_t, double>> points;
        EXPECT_LE(out.count, 1);
        if (const ParamQueue* q = out.find(PARAM_ID_MOD_CUTOFF))
            for (int32_t i = 0; i < q->count; ++i)
                points.push_back({q->offsets[i], q->values[i]});
        return points;
    }

    ActiveComponent plugin;
    AudioBlock block{kBlock};
};

using Report = std::vector<std::pair<int32_t, double>>;

TEST_F(Blocks, AChangeAtOffsetZeroTakesEffectInTheSameBlock) {
    ParameterChanges in;
    in.add(PARAM_ID_CUTOFF, 0, 0.0);
    EXPECT_EQ((Report{{kBlock - 1, 8.0 / 255.0}}), run(block, &in));
    EXPECT_EQ((std::vector<float>{0, 0, 7}), plugin.savedValues());
    EXPECT_EQ(Report{}, run(block, nullptr));
}

TEST_F(Blocks, AChangeAtOffsetHundredTakesEffectFromTheNextBlock) {
    ParameterChanges in;
    in.add(PARAM_ID_CUTOFF, 100, 0.0);
    EXPECT_EQ(Report{}, run(block, &in));
    EXPECT_EQ((std::vector<float>{0, 0, 7}), plugin.savedValues());
    EXPECT_EQ((Report{{kBlock - 1, 8.0 / 255.0}}), run(block, nullptr));
}

TEST_F(Blocks, PointsAtZeroAndThreeHundredApplyBeforeAndAfterTheBlock) {
    ParameterChanges in;
    in.add(PARAM_ID_CUTOFF, 0, 0.0);
    in.add(PARAM_ID_CUTOFF, 300, 1.0);
    EXPECT_EQ((Report{{kBlock - 1, 8.0 / 255.0}}), run(block, &in));
    EXPECT_EQ((std::vector<float>{15, 0, 7}), plugin.savedValues());
    EXPECT_EQ((Report{{kBlock - 1, 248.0 / 255.0}}), run(block, nullptr));
}

TEST_F(Blocks, OnlyTheFirstAndLastPointsOfAQueueAreRead) {
    ParameterChanges in;
    in.add(PARAM_ID_LFO_SPEED, 10, 0.0);
    in.add(PARAM_ID_LFO_SPEED, 20, 1.0);
    in.add(PARAM_ID_LFO_SPEED, 30, 4.0 / 15.0);
    in.add(PARAM_ID_LFO_AMT, 0, 0.2);
    in.add(PARAM_ID_LFO_AMT, 40, 0.0);
    run(block, &in);
    EXPECT_EQ((std::vector<float>{15, 0, 4}), plugin.savedValues());
}

TEST_F(Blocks, ChangesAreQuantizedAndClampedAndOthersIgnored) {
    ParameterChanges in;
    in.add(PARAM_ID_CUTOFF, 0, 0.5);
    in.add(PARAM_ID_LFO_AMT, 0, 1.2);
    in.add(PARAM_ID_LFO_SPEED, 0, -0.1);
    in.add(PARAM_ID_MOD_CUTOFF, 0, 0.0);
    in.add(12345, 0, 0.0);
    in.addEmptyQueue(PARAM_ID_CUTOFF + 1);
    run(block, &in);
    EXPECT_EQ((std::vector<float>{8, 15, 0}), plugin.savedValues());

    ParameterChanges odd;
    odd.add(PARAM_ID_CUTOFF, 0, 0.0);
    odd.nullQueueAt = 0;
    odd.addEmptyQueue(PARAM_ID_LFO_SPEED);
    run(block, &odd);
    EXPECT_EQ((std::vector<float>{8, 15, 0}), plugin.savedValues());
}

TEST_F(Blocks, NothingIsReportedWhileTheDefaultsHoldIndex248) {
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Report{}, run(block, nullptr)) << "block " << i;
}

// Rate 15 steps the phase by 64: indices 120 + wave(64, 128, 192, 0) = 247, 117, 0, 123.
TEST_F(Blocks, TheOutputIsReportedOnlyWhenTheModulatedCutoffChanges) {
    ParameterChanges in;
    in.add(PARAM_ID_CUTOFF, 0, 7.0 / 15.0);
    in.add(PARAM_ID_LFO_AMT, 0, 1.0);
    in.add(PARAM_ID_LFO_SPEED, 0, 1.0);
    std::vector<double> reported;
    double last = 248.0 / 255.0;
    for (int i = 0; i < 200; ++i) {
        Report r = run(block, i == 0 ? &in : nullptr);
        ASSERT_LE(r.size(), 1u);
        if (r.empty()) continue;
        EXPECT_EQ(kBlock - 1, r[0].first);
        EXPECT_NE(last, r[0].second);
        const double index = r[0].second * 255.0;
        EXPECT_NEAR(index, (double)(int)(index + 0.5), 1e-9);
        last = r[0].second;
        reported.push_back(index);
    }
    EXPECT_GT(reported.size(), 50u);
    EXPECT_NEAR(120.0 + 127.0, *std::max_element(reported.begin(), reported.end()), 0.5);
    EXPECT_EQ(0.0, *std::min_element(reported.begin(), reported.end())) << "120 - 127 clips";
}

TEST_F(Blocks, AnEmptyBlockReportsAtOffsetZero) {
    AudioBlock empty(0);
    ParameterChanges in;
    in.add(PARAM_ID_CUTOFF, 0, 0.0);
    EXPECT_EQ(Report{}, run(empty, &in)) << "the index moves only at an LFO step";
    ASSERT_EQ(kResultOk, plugin.component->vtbl->setActive(plugin.component, 0));
    ASSERT_EQ(kResultOk, plugin.component->vtbl->setActive(plugin.component, 1));
    EXPECT_EQ((Report{{0, 8.0 / 255.0}}), run(empty, nullptr));
}

bool allZero(const std::vector<float>& v) {
    for (float x : v)
        if (x != 0.0f) return false;
    return true;
}

TEST(ComponentSound, IsSilentWhenTheBusesWereNotActivated) {
    ActiveComponent plugin;
    ASSERT_EQ(0, plugin.start(48000.0, false));
    AudioBlock block(kBlock);
    fillNoise(block.input, 1);
    std::fill(block.output.begin(), block.output.end(), 1.0f);
    EXPECT_EQ(kResultOk, plugin.process(block, nullptr, nullptr));
    EXPECT_TRUE(allZero(block.output));

    // Activation while active counts from the next setActive(true) on.
    plugin.component->vtbl->activateBus(plugin.component, kAudio, kInput, 0, 1);
    plugin.component->vtbl->activateBus(plugin.component, kAudio, kOutput, 0, 1);
    std::fill(block.output.begin(), block.output.end(), 1.0f);
    plugin.process(block, nullptr, nullptr);
    EXPECT_TRUE(allZero(block.output));
    plugin.component->vtbl->setActive(plugin.component, 1);
    plugin.process(block, nullptr, nullptr);
    EXPECT_FALSE(allZero(block.output));
    plugin.stop();
}

TEST(ComponentSound, IsTheSameForTheSameInputInPlaceOrNot) {
    ActiveComponent a, b;
    ASSERT_EQ(0, a.start(44100.0, true));
    ASSERT_EQ(0, b.start(44100.0, true));
    AudioBlock x(kBlock), y(kBlock);
    for (int i = 0; i < 8; ++i) {
        fillNoise(x.input, (uint32_t)i);
        y.input = x.input;
        a.process(x, nullptr, nullptr);
        ProcessData* d = y.prepare(nullptr, nullptr);
        y.outputChannels[0] = y.input.data();
        b.processor->vtbl->process(b.processor, d);
        EXPECT_EQ(x.output, y.input) << "block " << i;
        EXPECT_FALSE(allZero(x.output));
    }
    a.stop();
    b.stop();
}

TEST(ComponentSound, LeavesTheCallersFloatingPointModesAsTheyWere) {
    ActiveComponent plugin;
    ASSERT_EQ(0, plugin.start(44100.0, true));
    AudioBlock block(64);
    const unsigned saved = _mm_getcsr();
    const unsigned ftzDaz = (1u << 15) | (1u << 6);
    for (unsigned modes : {0u, ftzDaz}) {
        _mm_setcsr((saved & ~ftzDaz) | modes);
        plugin.process(block, nullptr, nullptr);
        EXPECT_EQ(modes, _mm_getcsr() & ftzDaz);
    }
    _mm_setcsr(saved);
    plugin.stop();
}

TEST(ComponentSound, SurvivesBlocksWithoutBuffersOrWithOddCounts) {
    ActiveComponent plugin;
    ASSERT_EQ(0, plugin.start(44100.0, true));
    AudioBlock block(kBlock);
    ProcessData* d = block.prepare(nullptr, nullptr);
    d->numSamples = 0;
    d->numInputs = 0;
    d->inputs = nullptr;
    d->numOutputs = 0;
    d->outputs = nullptr;
    EXPECT_EQ(kResultOk, plugin.processor->vtbl->process(plugin.processor, d));

    // Enabled, but the host gave no input channel: the output is silent.
    d = block.prepare(nullptr, nullptr);
    d->inputs = nullptr;
    d->numInputs = 0;
    std::fill(block.output.begin(), block.output.end(), 1.0f);
    EXPECT_EQ(kResultOk, plugin.processor->vtbl->process(plugin.processor, d));
    EXPECT_TRUE(allZero(block.output));

    d = block.prepare(nullptr, nullptr);
    block.inputChannels[0] = nullptr;
    block.outputBus.numChannels = 0;
    EXPECT_EQ(kResultOk, plugin.processor->vtbl->process(plugin.processor, d));
    d = block.prepare(nullptr, nullptr);
    block.outputBus.channelBuffers32 = nullptr;
    EXPECT_EQ(kResultOk, plugin.processor->vtbl->process(plugin.processor, d));
    d = block.prepare(nullptr, nullptr);
    block.outputChannels[0] = nullptr;
    EXPECT_EQ(kResultOk, plugin.processor->vtbl->process(plugin.processor, d));
    d = block.prepare(nullptr, nullptr);
    d->numSamples = -5;
    EXPECT_EQ(kResultOk, plugin.processor->vtbl->process(plugin.processor, d));
    EXPECT_EQ(kInvalidArgument, plugin.processor->vtbl->process(plugin.processor, nullptr));

    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(kResultOk, plugin.component->vtbl->setActive(plugin.component, 0));
        EXPECT_EQ(kResultOk, plugin.component->vtbl->setActive(plugin.component, 1));
        EXPECT_EQ(kResultOk, plugin.process(block, nullptr, nullptr));
    }
    plugin.stop();
}

} // namespace
