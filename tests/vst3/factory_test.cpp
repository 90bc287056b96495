// The module as a host first meets it: GetPluginFactory, the factory's descriptions and the
// rules by which it creates the two classes.
#include <gtest/gtest.h>
#include <string.h>

#include <string>

#include "plugin_host.h"

namespace {

class Factory : public ::testing::Test {
  protected:
    void SetUp() override {
        char error[256];
        module = velumModule(error);
        ASSERT_NE(nullptr, module) << error;
        f = module->factory3;
    }
    const LoadedModule* module = nullptr;
    IPluginFactory3* f = nullptr;
};

std::u16string text16(const TChar* s) {
    return std::u16string(s);
}

bool zeroAfterText(const TChar* field, size_t units) {
    size_t i = 0;
    while (i < units && field[i])
        ++i;
    for (; i < units; ++i)
        if (field[i]) return false;
    return true;
}

TEST(Uids, FollowThisPlatformsPublishedByteLayout) {
#ifdef _WIN32
    const unsigned char component[16] = {0x31, 0xFF, 0x31, 0xE8, 0xD5, 0xF2, 0x01, 0x43,
                                         0x92, 0x8E, 0xBB, 0xEE, 0x25, 0x69, 0x78, 0x02};
    const unsigned char view[16] = {0x07, 0x25, 0xC3, 0x5B, 0x60, 0xD0, 0xEA, 0x49,
                                    0xA6, 0x15, 0x1B, 0x52, 0x2B, 0x75, 0x5B, 0x29};
#else
    const unsigned char component[16] = {0xE8, 0x31, 0xFF, 0x31, 0xF2, 0xD5, 0x43, 0x01,
                                         0x92, 0x8E, 0xBB, 0xEE, 0x25, 0x69, 0x78, 0x02};
    const unsigned char view[16] = {0x5B, 0xC3, 0x25, 0x07, 0xD0, 0x60, 0x49, 0xEA,
                                    0xA6, 0x15, 0x1B, 0x52, 0x2B, 0x75, 0x5B, 0x29};
#endif
    EXPECT_EQ(0, memcmp(component, IComponent_iid.bytes, 16));
    EXPECT_EQ(0, memcmp(view, IPlugView_iid.bytes, 16));
    const unsigned char unknown[16] = {0, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};
    EXPECT_EQ(0, memcmp(unknown, FUnknown_iid.bytes, 16));
}

TEST_F(Factory, IsOneStaticObjectThatCountsNothing) {
    IPluginFactory3* (*get)() = (IPluginFactory3 * (*)()) moduleSymbol(module, "GetPluginFactory");
    ASSERT_NE(nullptr, get);
    EXPECT_EQ(get(), get());
    EXPECT_EQ(get(), f);
    EXPECT_EQ(1u, f->vtbl->unknown.addRef(f));
    EXPECT_EQ(1u, f->vtbl->unknown.release(f));
    EXPECT_EQ(1u, f->vtbl->unknown.release(f));
    EXPECT_EQ(2, f->vtbl->countClasses(f));
}

TEST_F(Factory, AnswersItsFourInterfacesAndNothingElse) {
    for (const Uid* iid :
         {&FUnknown_iid, &IPluginFactory_iid, &IPluginFactory2_iid, &IPluginFactory3_iid}) {
        void* obj = nullptr;
        EXPECT_EQ(kResultOk, f->vtbl->unknown.queryInterface(f, iid->bytes, &obj));
        EXPECT_EQ((void*)f, obj);
    }
    void* obj = f;
    EXPECT_EQ(kNoInterface, f->vtbl->unknown.queryInterface(f, IComponent_iid.bytes, &obj));
    EXPECT_EQ(nullptr, obj);
    EXPECT_EQ(kInvalidArgument, f->vtbl->unknown.queryInterface(f, FUnknown_iid.bytes, nullptr));
    EXPECT_EQ(kNotImplemented, f->vtbl->setHostContext(f, hostContext()));
}

TEST_F(Factory, DescribesTheVendor) {
    PFactoryInfo info;
    memset(&info, 0x7F, sizeof info);
    ASSERT_EQ(kResultOk, f->vtbl->getFactoryInfo(f, &info));
    EXPECT_STREQ("Tamber", info.vendor);
    EXPECT_NE(nullptr, memchr(info.url, 0, sizeof info.url));
    EXPECT_EQ(0, strncmp(info.url, "https://", 8));
    EXPECT_NE(nullptr, strchr(info.email, '@'));
    EXPECT_EQ(16, info.flags);
    EXPECT_EQ(kInvalidArgument, f->vtbl->getFactoryInfo(f, nullptr));
}

TEST_F(Factory, DescribesTheComponentAndTheControllerInAllThreeForms) {
    PClassInfo c0, c1;
    ASSERT_EQ(kResultOk, f->vtbl->getClassInfo(f, 0, &c0));
    ASSERT_EQ(kResultOk, f->vtbl->getClassInfo(f, 1, &c1));
    EXPECT_EQ(0, memcmp(c0.cid, AudioComponent_cid.bytes, 16));
    EXPECT_EQ(0, memcmp(c1.cid, EditController_cid.bytes, 16));
    EXPECT_EQ(0x7FFFFFFF, c0.cardinality);
    EXPECT_EQ(0x7FFFFFFF, c1.cardinality);
    EXPECT_STREQ("Audio Module Class", c0.category);
    EXPECT_STREQ("Velum", c0.name);
    EXPECT_STREQ("Component Controller Class", c1.category);
    EXPECT_STREQ("Velum Controller", c1.name);

    PClassInfo2 a, b;
    ASSERT_EQ(kResultOk, f->vtbl->getClassInfo2(f, 0, &a));
    ASSERT_EQ(kResultOk, f->vtbl->getClassInfo2(f, 1, &b));
    EXPECT_EQ(0, memcmp(a.cid, AudioComponent_cid.bytes, 16));
    EXPECT_STREQ("Velum", a.name);
    EXPECT_EQ(1u, a.classFlags);
    EXPECT_EQ(0u, b.classFlags);
    EXPECT_STREQ("Fx|Filter", a.subCategories);
    EXPECT_STREQ("", b.subCategories);
    EXPECT_STREQ("", a.vendor);
    EXPECT_STREQ("1.2.3.1", a.version);
    EXPECT_STREQ("1.2.3.1", b.version);
    EXPECT_STREQ("VST 3.8.0 | Sarsen", a.sdkVersion);
    EXPECT_STREQ("Velum Controller", b.name);

    PClassInfoW w;
    memset(&w, 0x55, sizeof w);
    ASSERT_EQ(kResultOk, f->vtbl->getClassInfoUnicode(f, 0, &w));
    EXPECT_EQ(0, memcmp(w.cid, AudioComponent_cid.bytes, 16));
    EXPECT_STREQ("Audio Module Class", w.category);
    EXPECT_EQ(u"Velum", text16(w.name));
    EXPECT_EQ(u"", text16(w.vendor));
    EXPECT_EQ(u"1.2.3.1", text16(w.version));
    EXPECT_EQ(u"VST 3.8.0", text16(w.sdkVersion));
    EXPECT_STREQ("Fx|Filter", w.subCategories);
    EXPECT_EQ(1u, w.classFlags);
    EXPECT_TRUE(zeroAfterText(w.name, 64) && zeroAfterText(w.vendor, 64) &&
                zeroAfterText(w.version, 64) && zeroAfterText(w.sdkVersion, 64));
    ASSERT_EQ(kResultOk, f->vtbl->getClassInfoUnicode(f, 1, &w));
    EXPECT_EQ(u"Velum Controller", text16(w.name));
    EXPECT_STREQ("Component Controller Class", w.category);
}

TEST_F(Factory, RefusesClassIndicesOtherThanZeroAndOneWithoutWriting) {
    for (int32_t index : {2, -1, 0x7FFFFFFF}) {
        PClassInfo info;
        memset(&info, 0x5A, sizeof info);
        PClassInfo2 info2;
        memset(&info2, 0x5A, sizeof info2);
        PClassInfoW infoW;
        memset(&infoW, 0x5A, sizeof infoW);
        EXPECT_EQ(kInvalidArgument, f->vtbl->getClassInfo(f, index, &info));
        EXPECT_EQ(kInvalidArgument, f->vtbl->getClassInfo2(f, index, &info2));
        EXPECT_EQ(kInvalidArgument, f->vtbl->getClassInfoUnicode(f, index, &infoW));
        EXPECT_EQ(0x5A, (unsigned char)info.name[0]);
        EXPECT_EQ(0x5A, (unsigned char)info2.version[0]);
        EXPECT_EQ(0x5A, (unsigned char)infoW.subCategories[0]);
    }
    EXPECT_EQ(kInvalidArgument, f->vtbl->getClassInfo(f, 0, nullptr));
}

TEST_F(Factory, CreatesEachClassForItsBaseInterfacesAsThePrimaryInterface) {
    const Uid* componentIids[] = {&FUnknown_iid, &IPluginBase_iid, &IComponent_iid};
    for (const Uid* iid : componentIids) {
        void* obj = nullptr;
        ASSERT_EQ(kResultOk,
                  f->vtbl->createInstance(f, AudioComponent_cid.bytes, iid->bytes, &obj));
        IComponent* c = (IComponent*)obj;
        IComponent* primary = queryAs<IComponent>(c, IComponent_iid);
        EXPECT_EQ(c, primary);
        EXPECT_EQ(1u, releaseRef(primary));
        EXPECT_EQ(0u, releaseRef(c));
    }
    const Uid* controllerIids[] = {&FUnknown_iid, &IPluginBase_iid, &IEditController_iid};
    for (const Uid* iid : controllerIids) {
        void* obj = nullptr;
        ASSERT_EQ(kResultOk,
                  f->vtbl->createInstance(f, EditController_cid.bytes, iid->bytes, &obj));
        IEditController* c = (IEditController*)obj;
        EXPECT_EQ(4, c->vtbl->getParameterCount(c));
        EXPECT_EQ(0u, releaseRef(c));
    }
}

TEST_F(Factory, RefusesOtherInterfacesAndUnknownClasses) {
    int sentinel = 0;
    void* obj = &sentinel;
    EXPECT_EQ(kNoInterface, f->vtbl->createInstance(f, AudioComponent_cid.bytes,
                                                    IAudioProcessor_iid.bytes, &obj));
    EXPECT_EQ((void*)&sentinel, obj);
    EXPECT_EQ(kNoInterface, f->vtbl->createInstance(f, AudioComponent_cid.bytes,
                                                    IEditController_iid.bytes, &obj));
    EXPECT_EQ((void*)&sentinel, obj);
    EXPECT_EQ(kNoInterface,
              f->vtbl->createInstance(f, EditController_cid.bytes, IComponent_iid.bytes, &obj));
    EXPECT_EQ((void*)&sentinel, obj);
    const char zero[16] = {};
    EXPECT_EQ(kNoInterface, f->vtbl->createInstance(f, zero, FUnknown_iid.bytes, &obj));
    EXPECT_EQ(nullptr, obj);
    obj = &sentinel;
    EXPECT_EQ(kNoInterface,
              f->vtbl->createInstance(f, IComponent_iid.bytes, IComponent_iid.bytes, &obj));
    EXPECT_EQ(nullptr, obj);
    EXPECT_EQ(kInvalidArgument,
              f->vtbl->createInstance(f, AudioComponent_cid.bytes, IComponent_iid.bytes, nullptr));
}

} // namespace
