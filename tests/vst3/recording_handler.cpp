#include "recording_handler.h"

#include "vst3/uids.h"

static RecordingHandler* self(IComponentHandler* h) {
    return (RecordingHandler*)h;
}

static tresult queryInterface(IComponentHandler* h, const char* iid, void** obj) {
    if (uidEqual(iid, FUnknown_iid) || uidEqual(iid, IComponentHandler_iid)) {
        *obj = h;
        ++self(h)->refCount;
        return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
}
static uint32_t addRef(IComponentHandler* h) {
    return (uint32_t)++self(h)->refCount;
}
static uint32_t release(IComponentHandler* h) {
    return (uint32_t)--self(h)->refCount;
}

static tresult record(IComponentHandler* h, HandlerCall::Kind kind, ParamID id, double value) {
    self(h)->calls.push_back({kind, id, value});
    return kResultOk;
}
static tresult beginEdit(IComponentHandler* h, ParamID id) {
    return record(h, HandlerCall::Begin, id, 0);
}
static tresult performEdit(IComponentHandler* h, ParamID id, ParamValue v) {
    return record(h, HandlerCall::Perform, id, v);
}
static tresult endEdit(IComponentHandler* h, ParamID id) {
    return record(h, HandlerCall::End, id, 0);
}
static tresult restartComponent(IComponentHandler* h, int32_t flags) {
    return record(h, HandlerCall::Restart, 0, flags);
}

static const IComponentHandlerVtbl handlerVtbl = {
    {queryInterface, addRef, release}, beginEdit, performEdit, endEdit, restartComponent,
};

RecordingHandler::RecordingHandler() {
    handler.vtbl = &handlerVtbl;
}

static tresult contextQueryInterface(FUnknown*, const char*, void** obj) {
    *obj = nullptr;
    return kNoInterface;
}
static uint32_t contextCount(FUnknown*) {
    return 1;
}
static const FUnknownVtbl contextVtbl = {{contextQueryInterface, contextCount, contextCount}};
static FUnknown theContext = {&contextVtbl};

FUnknown* hostContext() {
    return &theContext;
}
