#include "factory.h"

#include "com_object.h"
#include "component.h"
#include "controller.h"
#include "text.h"
#include "uids.h"

struct Factory {
    IPluginFactory3 factory;
};

namespace {

struct ClassDescription {
    const Uid* cid;
    const char* category;
    const char* name;
    uint32_t classFlags;
    const char* subCategories;
};

const ClassDescription classes[2] = {
    {&AudioComponent_cid, "Audio Module Class", "Velum", kDistributable, "Fx|Filter"},
    {&EditController_cid, "Component Controller Class", "Velum Controller", 0, ""},
};
const char classVersion[] = "1.2.3.1";
const char sdkVersion2[] = "VST 3.8.0 | Sarsen";
const char sdkVersionW[] = "VST 3.8.0";

bool validClass(int32_t index) {
    return index == 0 || index == 1;
}

// Fills cid, cardinality, category and name, the part all three class-info records share.
template <class Info>
void fillClassInfo(const ClassDescription& c, Info* info) {
    memcpy(info->cid, c.cid->bytes, sizeof info->cid);
    info->cardinality = kManyInstances;
    writeField(info->category, c.category);
    writeField(info->name, c.name);
}

// PClassInfo2 and PClassInfoW: the same content, text in the width of each field.
template <class Info>
void fillClassInfoFull(const ClassDescription& c, Info* info, const char* sdkVersion) {
    fillClassInfo(c, info);
    info->classFlags = c.classFlags;
    writeField(info->subCategories, c.subCategories);
    writeField(info->vendor, "");
    writeField(info->version, classVersion);
    writeField(info->sdkVersion, sdkVersion);
}

} // namespace

// --- FUnknown: the factory is static, so nothing is counted ---

static tresult objectQueryInterface(Factory* f, const char* iid, void** obj) {
    if (!obj) return kInvalidArgument;
    if (uidEqual(iid, FUnknown_iid) || uidEqual(iid, IPluginFactory_iid) ||
        uidEqual(iid, IPluginFactory2_iid) || uidEqual(iid, IPluginFactory3_iid)) {
        *obj = &f->factory;
        return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
}

static uint32_t objectAddRef(Factory*) {
    return 1;
}
static uint32_t objectRelease(Factory*) {
    return 1;
}

// --- IPluginFactory: any thread, the factory has no mutable state ---

static tresult getFactoryInfo(IPluginFactory3*, PFactoryInfo* info) {
    if (!info) return kInvalidArgument;
    writeField(info->vendor, "Tamber");
    writeField(info->url, "https://tamber.example/velum");
    writeField(info->email, "support@tamber.example");
    info->flags = kUnicode;
    return kResultOk;
}

static int32_t countClasses(IPluginFactory3*) {
    return 2;
}

static tresult getClassInfo(IPluginFactory3*, int32_t index, PClassInfo* info) {
    if (!validClass(index) || !info) return kInvalidArgument;
    fillClassInfo(classes[index], info);
    return kResultOk;
}

// [any thread] obj receives a new instance owned by the caller (count 1).
static tresult createInstance(IPluginFactory3*, FIDString cid, FIDString iid, void** obj) {
    if (!obj) return kInvalidArgument;
    const bool baseIid = uidEqual(iid, FUnknown_iid) || uidEqual(iid, IPluginBase_iid);
    if (uidEqual(cid, AudioComponent_cid)) {
        if (!baseIid && !uidEqual(iid, IComponent_iid)) return kNoInterface;
        IComponent* component = createComponent();
        if (!component) return kOutOfMemory;
        *obj = component;
        return kResultOk;
    }
    if (uidEqual(cid, EditController_cid)) {
        if (!baseIid && !uidEqual(iid, IEditController_iid)) return kNoInterface;
        IEditController* controller = createController();
        if (!controller) return kOutOfMemory;
        *obj = controller;
        return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
}

// --- IPluginFactory2 / 3 ---

static tresult getClassInfo2(IPluginFactory3*, int32_t index, PClassInfo2* info) {
    if (!validClass(index) || !info) return kInvalidArgument;
    fillClassInfoFull(classes[index], info, sdkVersion2);
    return kResultOk;
}

static tresult getClassInfoUnicode(IPluginFactory3*, int32_t index, PClassInfoW* info) {
    if (!validClass(index) || !info) return kInvalidArgument;
    fillClassInfoFull(classes[index], info, sdkVersionW);
    return kResultOk;
}

static tresult setHostContext(IPluginFactory3*, FUnknown*) {
    return kNotImplemented;
}

static constexpr IPluginFactory3Vtbl factoryVtbl = {
    UnknownSlots<Factory, offsetof(Factory, factory), IPluginFactory3>::table,
    getFactoryInfo,
    countClasses,
    getClassInfo,
    createInstance,
    getClassInfo2,
    getClassInfoUnicode,
    setHostContext,
};

static Factory theFactory = {{&factoryVtbl}};

IPluginFactory3* pluginFactory() {
    return &theFactory.factory;
}
