// The edit controller as a host uses it: interfaces, parameter descriptions, conversions, value
// strings, held values, the component's state and the component handler.
#include <gtest/gtest.h>
#include <math.h>
#include <stdlib.h>

#include <string>

#include "controller_fixture.h"
#include "core/params.h"

namespace {

class Controller : public ControllerFixture {
  protected:
    std::string text(ParamID id, double normalized) {
        String128 s;
        for (TChar& u : s)
            u = u'#';
        EXPECT_EQ(kResultOk, c->vtbl->getParamStringByValue(c, id, normalized, s));
        std::u16string t(s);
        return std::string(t.begin(), t.end());
    }
    double parsed(ParamID id, const char16_t* s) {
        double v = -99;
        EXPECT_EQ(kResultOk, c->vtbl->getParamValueByString(c, id, (TChar*)s, &v));
        return v;
    }
    double held(ParamID id) { return c->vtbl->getParamNormalized(c, id); }
};

std::u16string str16(const TChar* s) {
    return std::u16string(s);
}

TEST_F(Controller, SharesOneCountAcrossItsThreeInterfaces) {
    IMidiMapping* midi = queryAs<IMidiMapping>(c, IMidiMapping_iid);
    ASSERT_NE(nullptr, midi);
    IConnectionPoint* cp = queryAs<IConnectionPoint>(midi, IConnectionPoint_iid);
    ASSERT_NE(nullptr, cp);
    for (const Uid* iid : {&FUnknown_iid, &IPluginBase_iid, &IEditController_iid}) {
        EXPECT_EQ(c, queryAs<IEditController>(cp, *iid));
        releaseRef(c);
    }
    EXPECT_EQ(4u, addRef(c));
    void* obj = c;
    EXPECT_EQ(kNoInterface, cp->vtbl->unknown.queryInterface(cp, IComponent_iid.bytes, &obj));
    EXPECT_EQ(nullptr, obj);
    EXPECT_EQ(3u, releaseRef(midi));
    EXPECT_EQ(2u, releaseRef(cp));
    EXPECT_EQ(1u, releaseRef(c));

    ParamID id = 77;
    EXPECT_EQ(kInvalidArgument, midi->vtbl->getMidiControllerAssignment(midi, 0, 0, 7, &id));
    EXPECT_EQ(77u, id);
    EXPECT_EQ(kInvalidArgument, cp->vtbl->connect(cp, nullptr));
    EXPECT_EQ(kResultOk, cp->vtbl->connect(cp, cp));
    EXPECT_EQ(kResultOk, cp->vtbl->notify(cp, nullptr));
    EXPECT_EQ(kResultOk, cp->vtbl->disconnect(cp, cp));
    EXPECT_EQ(kNotImplemented, c->vtbl->setState(c, nullptr));
    EXPECT_EQ(kNotImplemented, c->vtbl->getState(c, nullptr));
}

TEST_F(Controller, InitializeIsRefusedUntilTerminateAndThenRestoresTheDefaults) {
    c->vtbl->setParamNormalized(c, PARAM_ID_CUTOFF, 0.0);
    c->vtbl->setParamNormalized(c, PARAM_ID_MOD_CUTOFF, 0.0);
    EXPECT_EQ(kResultFalse, c->vtbl->base.initialize(c, hostContext()));
    EXPECT_EQ(0.0, held(PARAM_ID_CUTOFF));
    EXPECT_EQ(kResultOk, c->vtbl->base.terminate(c));
    EXPECT_EQ(0.0, held(PARAM_ID_CUTOFF)) << "terminate keeps the values";
    EXPECT_EQ(kResultOk, c->vtbl->base.initialize(c, hostContext()));
    EXPECT_EQ(1.0, held(PARAM_ID_CUTOFF));
    EXPECT_EQ(0.0, held(PARAM_ID_LFO_AMT));
    EXPECT_EQ(7.0 / 15.0, held(PARAM_ID_LFO_SPEED));
    EXPECT_EQ(248.0 / 255.0, held(PARAM_ID_MOD_CUTOFF));
}

TEST_F(Controller, DescribesFourParameters) {
    ASSERT_EQ(4, c->vtbl->getParameterCount(c));
    struct Expected {
        ParamID id;
        const char16_t* title;
        const char16_t* shortTitle;
        int32_t steps;
        double def;
        int32_t flags;
    } expected[4] = {
        {1784049613u, u"Cutoff", u"Cutoff", 15, 1.0, kCanAutomate},
        {394330366u, u"LFO Amount", u"LFO Amt", 15, 0.0, kCanAutomate},
        {793359101u, u"LFO Speed", u"LFO Speed", 15, 7.0 / 15.0, kCanAutomate},
        {558397322u, u"Modulated Cutoff", u"Mod Cutoff", 255, 248.0 / 255.0, kIsReadOnly},
    };
    for (int32_t i = 0; i < 4; ++i) {
        ParameterInfo info;
        memset(&info, 0x41, sizeof info);
        ASSERT_EQ(kResultOk, c->vtbl->getParameterInfo(c, i, &info));
        EXPECT_EQ(expected[i].id, info.id);
        EXPECT_EQ(expected[i].title, str16(info.title));
        EXPECT_EQ(expected[i].shortTitle, str16(info.shortTitle));
        EXPECT_EQ(u"", str16(info.units));
        EXPECT_EQ(expected[i].steps, info.stepCount);
        EXPECT_EQ(expected[i].def, info.defaultNormalizedValue);
        EXPECT_EQ(0, info.unitId);
        EXPECT_EQ(expected[i].flags, info.flags);
    }
    for (int32_t index : {4, -1, 1000}) {
        ParameterInfo info;
        memset(&info, 0x41, sizeof info);
        EXPECT_EQ(kResultFalse, c->vtbl->getParameterInfo(c, index, &info));
        EXPECT_EQ(0x41414141u, info.id);
    }
}

TEST_F(Controller, ConvertsWithoutRoundingOrClampingAndPassesUnknownIdsThrough) {
    EXPECT_EQ(7.5, c->vtbl->normalizedParamToPlain(c, PARAM_ID_CUTOFF, 0.5));
    EXPECT_EQ(18.0, c->vtbl->normalizedParamToPlain(c, PARAM_ID_LFO_AMT, 1.2));
    EXPECT_EQ(1.0, c->vtbl->plainParamToNormalized(c, PARAM_ID_MOD_CUTOFF, 255.0));
    EXPECT_EQ(-0.2, c->vtbl->plainParamToNormalized(c, PARAM_ID_LFO_SPEED, -3.0));
    EXPECT_EQ(0.25, c->vtbl->normalizedParamToPlain(c, 42, 0.25));
    EXPECT_EQ(300.0, c->vtbl->plainParamToNormalized(c, 0xFFFFFFFFu, 300.0));
    EXPECT_EQ(0.0, c->vtbl->getParamNormalized(c, 42));
}

TEST_F(Controller, ShowsTwoDecimalsCutNotRounded) {
    EXPECT_EQ("15.00", text(PARAM_ID_CUTOFF, 1.0));
    EXPECT_EQ("7.50", text(PARAM_ID_CUTOFF, 0.5));
    EXPECT_EQ("0.00", text(PARAM_ID_CUTOFF, 0.0));
    EXPECT_EQ("248.00", text(PARAM_ID_MOD_CUTOFF, 248.0 / 255.0));
    EXPECT_EQ("-1.50", text(PARAM_ID_LFO_AMT, -0.1));
    EXPECT_EQ("7.46", text(PARAM_ID_LFO_SPEED, 7.47 / 15.0));
    EXPECT_EQ("150.00", text(PARAM_ID_LFO_SPEED, 10.0));
    String128 s;
    s[0] = u'#';
    EXPECT_EQ(kResultFalse, c->vtbl->getParamStringByValue(c, 1234, 0.5, s));
    EXPECT_EQ(u'#', s[0]);
}

TEST_F(Controller, ShowsValuesWithoutAFiniteDigitFormInsideTheField) {
    EXPECT_EQ("inf", text(PARAM_ID_CUTOFF, INFINITY));
    EXPECT_EQ("-inf", text(PARAM_ID_CUTOFF, -INFINITY));
    EXPECT_EQ("nan", text(PARAM_ID_CUTOFF, NAN));
    for (double huge : {1e200, 1e305, -7e305}) {
        std::string t = text(PARAM_ID_MOD_CUTOFF, huge);
        EXPECT_LE(t.size(), 127u);
        EXPECT_EQ(std::string::npos, t.find_first_not_of("-0123456789.")) << t;
    }
}

TEST_F(Controller, ReadsTheWholeNumberAtTheStartOfATypedText) {
    EXPECT_EQ(7.0 / 15.0, parsed(PARAM_ID_CUTOFF, u"7.9"));
    EXPECT_EQ(-0.2, parsed(PARAM_ID_CUTOFF, u"-3"));
    EXPECT_EQ(0.0, parsed(PARAM_ID_CUTOFF, u"x12"));
    EXPECT_EQ(0.0, parsed(PARAM_ID_CUTOFF, u""));
    EXPECT_EQ(20.0 / 15.0, parsed(PARAM_ID_LFO_AMT, u"20 Hz"));
    EXPECT_EQ(128.0 / 255.0, parsed(PARAM_ID_MOD_CUTOFF, u"128"));
    double v = 5;
    EXPECT_EQ(kResultFalse, c->vtbl->getParamValueByString(c, 99, (TChar*)u"3", &v));
    EXPECT_EQ(5.0, v);
    // A field of 128 digits without a terminator is read no further than its end.
    TChar* unterminated = (TChar*)malloc(128 * sizeof(TChar));
    for (int i = 0; i < 128; ++i)
        unterminated[i] = u'1';
    EXPECT_EQ(kResultOk, c->vtbl->getParamValueByString(c, PARAM_ID_CUTOFF, unterminated, &v));
    EXPECT_TRUE(v > 1e120 && v < 1e127);
    free(unterminated);
}

TEST_F(Controller, ReadsBackEveryStepFromItsOwnText) {
    for (int32_t index = 0; index < 4; ++index) {
        ParameterInfo info;
        ASSERT_EQ(kResultOk, c->vtbl->getParameterInfo(c, index, &info));
        for (int32_t step = 0; step <= info.stepCount; ++step) {
            const double normalized = (double)step / info.stepCount;
            std::string t = text(info.id, normalized);
            std::u16string t16(t.begin(), t.end());
            EXPECT_EQ(normalized, parsed(info.id, t16.c_str())) << t;
        }
    }
}

TEST_F(Controller, HoldsRoundedAndClampedValues) {
    EXPECT_EQ(kResultOk, c->vtbl->setParamNormalized(c, PARAM_ID_CUTOFF, 0.5));
    EXPECT_EQ(8.0 / 15.0, held(PARAM_ID_CUTOFF));
    c->vtbl->setParamNormalized(c, PARAM_ID_CUTOFF, 1.2);
    EXPECT_EQ(1.0, held(PARAM_ID_CUTOFF));
    c->vtbl->setParamNormalized(c, PARAM_ID_LFO_SPEED, -0.1);
    EXPECT_EQ(0.0, held(PARAM_ID_LFO_SPEED));
    EXPECT_EQ(kResultOk, c->vtbl->setParamNormalized(c, PARAM_ID_MOD_CUTOFF, 0.5));
    EXPECT_EQ(128.0 / 255.0, held(PARAM_ID_MOD_CUTOFF));
    EXPECT_EQ(kResultFalse, c->vtbl->setParamNormalized(c, 5, 0.5));
    EXPECT_EQ(1.0, held(PARAM_ID_CUTOFF)) << "an unknown ID stores nothing";
}

TEST_F(Controller, TakesItsValuesFromTheComponentsState) {
    ActiveComponent component;
    ASSERT_EQ(0, component.start(44100.0, true));
    ParameterChanges in;
    in.add(PARAM_ID_CUTOFF, 0, 3.0 / 15.0);
    in.add(PARAM_ID_LFO_AMT, 0, 1.0);
    AudioBlock block(128);
    component.process(block, &in, nullptr);
    MemoryStream saved;
    ASSERT_EQ(kResultOk, component.component->vtbl->getState(component.component, saved.get()));
    component.stop();

    c->vtbl->setParamNormalized(c, PARAM_ID_MOD_CUTOFF, 0.5);
    ASSERT_EQ(kResultOk, c->vtbl->setComponentState(c, saved.get()));
    EXPECT_EQ(3.0 / 15.0, held(PARAM_ID_CUTOFF));
    EXPECT_EQ(1.0, held(PARAM_ID_LFO_AMT));
    EXPECT_EQ(7.0 / 15.0, held(PARAM_ID_LFO_SPEED));
    EXPECT_EQ(128.0 / 255.0, held(PARAM_ID_MOD_CUTOFF)) << "not part of the state";

    MemoryStream rounded(stateBlob("vst3", 3.4f, 12.6f, -2.0f));
    ASSERT_EQ(kResultOk, c->vtbl->setComponentState(c, rounded.get()));
    EXPECT_EQ(3.0 / 15.0, held(PARAM_ID_CUTOFF));
    EXPECT_EQ(13.0 / 15.0, held(PARAM_ID_LFO_AMT));
    EXPECT_EQ(0.0, held(PARAM_ID_LFO_SPEED));
}

TEST_F(Controller, KeepsItsValuesWhenTheStateIsRefused) {
    c->vtbl->setParamNormalized(c, PARAM_ID_LFO_AMT, 0.4);
    std::vector<uint8_t> good = stateBlob("vst3", 1, 2, 3);
    MemoryStream empty, garbage(std::vector<uint8_t>(700, 0x2A)),
        cut(std::vector<uint8_t>(good.begin(), good.begin() + 1536)), noSeek(good);
    noSeek.failSeek = true;
    for (MemoryStream* s : {&empty, &garbage, &cut, &noSeek})
        EXPECT_EQ(kResultFalse, c->vtbl->setComponentState(c, s->get()));
    EXPECT_EQ(kResultFalse, c->vtbl->setComponentState(c, nullptr));
    EXPECT_EQ(6.0 / 15.0, held(PARAM_ID_LFO_AMT));
    EXPECT_EQ(1.0, held(PARAM_ID_CUTOFF));
}

TEST_F(Controller, HoldsOneReferenceToTheComponentHandler) {
    RecordingHandler a, b;
    EXPECT_EQ(kResultOk, c->vtbl->setComponentHandler(c, a.get()));
    EXPECT_EQ(2, a.refCount);
    EXPECT_EQ(kResultOk, c->vtbl->setComponentHandler(c, a.get()));
    EXPECT_EQ(2, a.refCount);
    EXPECT_EQ(kResultOk, c->vtbl->setComponentHandler(c, b.get()));
    EXPECT_EQ(1, a.refCount);
    EXPECT_EQ(2, b.refCount);
    EXPECT_EQ(kResultOk, c->vtbl->setComponentHandler(c, nullptr));
    EXPECT_EQ(1, b.refCount);
    c->vtbl->setComponentHandler(c, a.get());
    EXPECT_EQ(0u, releaseRef(c));
    c = nullptr;
    EXPECT_EQ(1, a.refCount) << "released with the controller";
    EXPECT_TRUE(a.calls.empty()) << "no gesture without an editor";
}

} // namespace
