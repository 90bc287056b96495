#include "controller.h"

#include <stdlib.h>
#include <string.h>

#include "com_object.h"
#include "parameter_info.h"
#include "state/state_document.h"
#include "stream_io.h"
#include "uids.h"
#include "value_strings.h"
#include "view.h"

static Controller* self(IEditController* iface) {
    return objectOf<Controller, offsetof(Controller, editController)>(iface);
}

// --- FUnknown: one plain count for the three interfaces (UI thread) ---

static tresult objectQueryInterface(Controller* c, const char* iid, void** obj) {
    const InterfaceEntry entries[] = {
        {&FUnknown_iid, &c->editController},          {&IPluginBase_iid, &c->editController},
        {&IEditController_iid, &c->editController},   {&IMidiMapping_iid, &c->midiMapping},
        {&IConnectionPoint_iid, &c->connectionPoint},
    };
    return answerQuery(iid, obj, &c->refCount, entries);
}

static uint32_t objectAddRef(Controller* c) {
    return (uint32_t)++c->refCount;
}

// Views the host still holds outlive the controller, detached from it; the handler's reference
// is dropped.
static uint32_t objectRelease(Controller* c) {
    const int32_t count = --c->refCount;
    if (count != 0) return (uint32_t)count;
    for (uint64_t i = 0; i < c->viewCount; ++i)
        if (c->views[i]) viewDetach(c->views[i]);
    if (c->componentHandler) c->componentHandler->vtbl->unknown.release(c->componentHandler);
    free(c->views);
    free(c);
    return 0;
}

// --- values ---

static void setDefaults(Controller* c) {
    for (int i = 0; i < PARAM_COUNT; ++i)
        c->values[i] = param_descriptor(i)->def;
}

// Page edits already queued go first: the value the host sets next is the one held and shown.
static void deliverPageEdits(Controller* c) {
    for (uint64_t i = 0; i < c->viewCount; ++i)
        if (c->views[i]) viewDeliverPageEdits(c->views[i]);
}

void controllerStoreValue(Controller* c, int index, double plain) {
    c->values[index] = plain;
    // A view's editor may close views while it is handed the value: the count is read each time.
    for (uint64_t i = 0; i < c->viewCount; ++i)
        if (c->views[i]) viewSendValue(c->views[i], index, (float)plain);
}

// --- IPluginBase (UI thread) ---

// context is borrowed, not counted, until terminate.
static tresult initialize(IEditController* iface, FUnknown* context) {
    Controller* c = self(iface);
    if (c->hostContext) return kResultFalse;
    c->hostContext = context;
    setDefaults(c);
    return kResultOk;
}

static tresult terminate(IEditController* iface) {
    self(iface)->hostContext = nullptr;
    return kResultOk;
}

// --- IEditController (UI thread) ---

static void setValueHook(void* owner, int index, float value) {
    ((Controller*)owner)->values[index] = quantize(index, value);
}
static void noLock(void*) {}

// state is borrowed for the call.
static tresult setComponentState(IEditController* iface, IBStream* state) {
    Controller* c = self(iface);
    if (!state) return kResultFalse;
    uint8_t* bytes = nullptr;
    size_t size = 0;
    if (read_whole_stream(state, &bytes, &size) != 0) return kResultFalse;
    deliverPageEdits(c);
    const StateRestoreHooks hooks = {c, noLock, noLock, setValueHook};
    const int restored = restore_state_blob(&hooks, bytes, size);
    free(bytes);
    if (restored != 0) return kResultFalse;
    for (int i = 0; i < PARAM_INPUT_COUNT; ++i)
        controllerStoreValue(c, i, c->values[i]);
    return kResultOk;
}

static tresult setState(IEditController*, IBStream*) {
    return kNotImplemented;
}
static tresult getState(IEditController*, IBStream*) {
    return kNotImplemented;
}

static int32_t getParameterCount(IEditController*) {
    return PARAM_COUNT;
}

static tresult getParameterInfo(IEditController*, int32_t paramIndex, ParameterInfo* info) {
    if ((uint32_t)paramIndex >= PARAM_COUNT) return kResultFalse;
    if (!info) return kInvalidArgument;
    fillParameterInfo(paramIndex, info);
    return kResultOk;
}

// string is the host's String128.
static tresult getParamStringByValue(IEditController*, ParamID id, ParamValue valueNormalized,
                                     TChar* string) {
    const int index = param_index_of(id);
    if (index < 0) return kResultFalse;
    if (!string) return kInvalidArgument;
    formatPlainValue(to_plain(index, valueNormalized), string);
    return kResultOk;
}

static tresult getParamValueByString(IEditController*, ParamID id, TChar* string,
                                     ParamValue* valueNormalized) {
    const int index = param_index_of(id);
    if (index < 0) return kResultFalse;
    if (!string || !valueNormalized) return kInvalidArgument;
    *valueNormalized = to_normalized(index, parsePlainValue(string));
    return kResultOk;
}

// An unknown ID has no mapping: the value passes through unchanged.
static ParamValue normalizedParamToPlain(IEditController*, ParamID id, ParamValue value) {
    const int index = param_index_of(id);
    return index < 0 ? value : to_plain(index, value);
}

static ParamValue plainParamToNormalized(IEditController*, ParamID id, ParamValue plain) {
    const int index = param_index_of(id);
    return index < 0 ? plain : to_normalized(index, plain);
}

// An unknown ID holds no value: 0.
static ParamValue getParamNormalized(IEditController* iface, ParamID id) {
    const int index = param_index_of(id);
    return index < 0 ? 0.0 : to_normalized(index, self(iface)->values[index]);
}

static tresult setParamNormalized(IEditController* iface, ParamID id, ParamValue value) {
    const int index = param_index_of(id);
    if (index < 0) return kResultFalse;
    deliverPageEdits(self(iface));
    controllerStoreValue(self(iface), index, quantize(index, to_plain(index, value)));
    return kResultOk;
}

// handler is counted while held.
static tresult setComponentHandler(IEditController* iface, IComponentHandler* handler) {
    Controller* c = self(iface);
    if (handler == c->componentHandler) return kResultOk;
    if (c->componentHandler) c->componentHandler->vtbl->unknown.release(c->componentHandler);
    c->componentHandler = handler;
    if (handler) handler->vtbl->unknown.addRef(handler);
    return kResultOk;
}

// The new view goes into the first free slot, or a slot added at the end.
static IPlugView* createView(IEditController* iface, FIDString name) {
    Controller* c = self(iface);
    if (!name || strcmp(name, "editor") != 0) return nullptr;
    View* view = viewCreate(c);
    if (!view) return nullptr;
    uint64_t slot = 0;
    while (slot < c->viewCount && c->views[slot])
        ++slot;
    if (slot == c->viewCount) {
        View** grown = (View**)realloc(c->views, (size_t)(c->viewCount + 1) * sizeof(View*));
        if (!grown) {
            free(view);
            return nullptr;
        }
        c->views = grown;
        ++c->viewCount;
    }
    c->views[slot] = view;
    return &view->plugView;
}

static constexpr IEditControllerVtbl editControllerVtbl = {
    UnknownSlots<Controller, offsetof(Controller, editController), IEditController>::table,
    {initialize, terminate},
    setComponentState,
    setState,
    getState,
    getParameterCount,
    getParameterInfo,
    getParamStringByValue,
    getParamValueByString,
    normalizedParamToPlain,
    plainParamToNormalized,
    getParamNormalized,
    setParamNormalized,
    setComponentHandler,
    createView,
};

// --- IMidiMapping: no MIDI controller drives a parameter ---

static tresult getMidiControllerAssignment(IMidiMapping*, int32_t, int16_t, CtrlNumber, ParamID*) {
    return kInvalidArgument;
}

static constexpr IMidiMappingVtbl midiMappingVtbl = {
    UnknownSlots<Controller, offsetof(Controller, midiMapping), IMidiMapping>::table,
    getMidiControllerAssignment,
};

IEditController* createController() {
    Controller* c = (Controller*)calloc(1, sizeof(Controller));
    if (!c) return nullptr;
    c->editController.vtbl = &editControllerVtbl;
    c->midiMapping.vtbl = &midiMappingVtbl;
    c->connectionPoint.vtbl =
        &QuietConnectionPoint<Controller, offsetof(Controller, connectionPoint)>::table;
    c->refCount = 1;
    return &c->editController;
}
