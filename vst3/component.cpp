#include "component.h"

#include <stdlib.h>

#include "com_object.h"
#include "core/engine.h"
#include "text.h"
#include "uids.h"

// --- FUnknown: one plain count for all four interfaces (UI thread) ---

tresult objectQueryInterface(Component* c, const char* iid, void** obj) {
    const InterfaceEntry entries[] = {
        {&FUnknown_iid, &c->component},
        {&IPluginBase_iid, &c->component},
        {&IComponent_iid, &c->component},
        {&IAudioProcessor_iid, &c->processor},
        {&IProcessContextRequirements_iid, &c->contextRequirements},
        {&IConnectionPoint_iid, &c->connectionPoint},
    };
    return answerQuery(iid, obj, &c->refCount, entries);
}

uint32_t objectAddRef(Component* c) {
    return (uint32_t)++c->refCount;
}

uint32_t objectRelease(Component* c) {
    const int32_t count = --c->refCount;
    if (count == 0) free(c);
    return (uint32_t)count;
}

static Component* self(IComponent* iface) {
    return objectOf<Component, offsetof(Component, component)>(iface);
}

// --- IPluginBase (UI thread) ---

// context is borrowed, not counted, until terminate.
static tresult initialize(IComponent* iface, FUnknown* context) {
    Component* c = self(iface);
    if (c->hostContext) return kResultFalse;
    c->hostContext = context;
    plugin_core_init(&c->core, 0.0f);
    c->inputChannel = nullptr;
    c->outputChannel = nullptr;
    c->processing_enabled = false;
    c->input_bus_active = false;
    c->output_bus_active = false;
    return kResultOk;
}

static tresult terminate(IComponent* iface) {
    self(iface)->hostContext = nullptr;
    return kResultOk;
}

// --- IComponent (UI thread, except the state calls) ---

static tresult getControllerClassId(IComponent*, char* classId) {
    if (!classId) return kResultFalse;
    memcpy(classId, EditController_cid.bytes, sizeof EditController_cid.bytes);
    return kResultOk;
}

static tresult setIoMode(IComponent*, IoMode) {
    return kNotImplemented;
}

static bool isAudioBus(MediaType type, BusDirection dir, int32_t index) {
    return type == kAudio && index == 0 && (dir == kInput || dir == kOutput);
}

static int32_t getBusCount(IComponent*, MediaType type, BusDirection dir) {
    return isAudioBus(type, dir, 0) ? 1 : 0;
}

static tresult getBusInfo(IComponent*, MediaType type, BusDirection dir, int32_t index,
                          BusInfo* bus) {
    if (!isAudioBus(type, dir, index) || !bus) return kInvalidArgument;
    bus->mediaType = kAudio;
    bus->direction = dir;
    bus->channelCount = 1;
    writeField(bus->name, dir == kInput ? "Input" : "Output");
    bus->busType = kMain;
    bus->flags = kDefaultActive;
    return kResultOk;
}

static tresult getRoutingInfo(IComponent*, RoutingInfo*, RoutingInfo*) {
    return kNotImplemented;
}

static tresult activateBus(IComponent* iface, MediaType type, BusDirection dir, int32_t index,
                           TBool state) {
    if (!isAudioBus(type, dir, index)) return kInvalidArgument;
    Component* c = self(iface);
    (dir == kInput ? c->input_bus_active : c->output_bus_active) = state != 0;
    return kResultOk;
}

static tresult setActive(IComponent* iface, TBool state) {
    Component* c = self(iface);
    if (!state) {
        engine_deactivate(&c->core);
        return kResultOk;
    }
    c->processing_enabled = c->input_bus_active && c->output_bus_active;
    engine_reset(&c->core);
    return kResultOk;
}

// [state thread] stream is borrowed for the call.
static tresult setState(IComponent* iface, IBStream* stream) {
    return componentSetState(self(iface), stream);
}

// [state thread] stream is borrowed for the call.
static tresult getState(IComponent* iface, IBStream* stream) {
    return componentGetState(self(iface), stream);
}

static constexpr IComponentVtbl componentVtbl = {
    UnknownSlots<Component, offsetof(Component, component), IComponent>::table,
    {initialize, terminate},
    getControllerClassId,
    setIoMode,
    getBusCount,
    getBusInfo,
    getRoutingInfo,
    activateBus,
    setActive,
    setState,
    getState,
};

// --- IProcessContextRequirements: no process context is needed ---

static uint32_t getProcessContextRequirements(IProcessContextRequirements*) {
    return 0;
}

static constexpr IProcessContextRequirementsVtbl contextRequirementsVtbl = {
    UnknownSlots<Component, offsetof(Component, contextRequirements),
                 IProcessContextRequirements>::table,
    getProcessContextRequirements,
};

IComponent* createComponent() {
    Component* c = (Component*)calloc(1, sizeof(Component));
    if (!c) return nullptr;
    c->component.vtbl = &componentVtbl;
    c->processor.vtbl = &componentProcessorVtbl;
    c->contextRequirements.vtbl = &contextRequirementsVtbl;
    c->connectionPoint.vtbl =
        &QuietConnectionPoint<Component, offsetof(Component, connectionPoint)>::table;
    c->refCount = 1;
    c->hostContext = nullptr;
    return &c->component;
}
