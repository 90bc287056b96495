// The VST3 interfaces Velum implements and calls, as structures of function tables in slot order.
// An interface pointer points at an object whose first word is the table; every slot takes that
// interface pointer first.
#pragma once

#include "vst3_types.h"

struct FUnknown;
struct IBStream;
struct IMessage;
struct IPlugView;
struct IPlugFrame;
struct IConnectionPoint;
struct IComponentHandler;
struct IParamValueQueue;

// The three slots that open every table; Self is the interface the table belongs to.
template <class Self>
struct FUnknownSlots {
    tresult (*queryInterface)(Self* self, const char* iid, void** obj);
    uint32_t (*addRef)(Self* self);
    uint32_t (*release)(Self* self);
};

template <class Self>
struct IPluginBaseSlots {
    tresult (*initialize)(Self* self, FUnknown* context);
    tresult (*terminate)(Self* self);
};

struct FUnknownVtbl {
    FUnknownSlots<FUnknown> unknown;
};
struct FUnknown {
    const FUnknownVtbl* vtbl;
};

struct IPluginFactory3;
struct IPluginFactory3Vtbl {
    FUnknownSlots<IPluginFactory3> unknown;
    tresult (*getFactoryInfo)(IPluginFactory3* self, PFactoryInfo* info);
    int32_t (*countClasses)(IPluginFactory3* self);
    tresult (*getClassInfo)(IPluginFactory3* self, int32_t index, PClassInfo* info);
    tresult (*createInstance)(IPluginFactory3* self, FIDString cid, FIDString iid, void** obj);
    tresult (*getClassInfo2)(IPluginFactory3* self, int32_t index, PClassInfo2* info);
    tresult (*getClassInfoUnicode)(IPluginFactory3* self, int32_t index, PClassInfoW* info);
    tresult (*setHostContext)(IPluginFactory3* self, FUnknown* context);
};
struct IPluginFactory3 {
    const IPluginFactory3Vtbl* vtbl;
};

struct IComponent;
struct IComponentVtbl {
    FUnknownSlots<IComponent> unknown;
    IPluginBaseSlots<IComponent> base;
    tresult (*getControllerClassId)(IComponent* self, char* classId);
    tresult (*setIoMode)(IComponent* self, IoMode mode);
    int32_t (*getBusCount)(IComponent* self, MediaType type, BusDirection dir);
    tresult (*getBusInfo)(IComponent* self, MediaType type, BusDirection dir, int32_t index,
                          BusInfo* bus);
    tresult (*getRoutingInfo)(IComponent* self, RoutingInfo* inInfo, RoutingInfo* outInfo);
    tresult (*activateBus)(IComponent* self, MediaType type, BusDirection dir, int32_t index,
                           TBool state);
    tresult (*setActive)(IComponent* self, TBool state);
    tresult (*setState)(IComponent* self, IBStream* state);
    tresult (*getState)(IComponent* self, IBStream* state);
};
struct IComponent {
    const IComponentVtbl* vtbl;
};

struct IAudioProcessor;
struct IAudioProcessorVtbl {
    FUnknownSlots<IAudioProcessor> unknown;
    tresult (*setBusArrangements)(IAudioProcessor* self, SpeakerArrangement* inputs, int32_t numIns,
                                  SpeakerArrangement* outputs, int32_t numOuts);
    tresult (*getBusArrangement)(IAudioProcessor* self, BusDirection dir, int32_t index,
                                 SpeakerArrangement* arr);
    tresult (*canProcessSampleSize)(IAudioProcessor* self, int32_t symbolicSampleSize);
    uint32_t (*getLatencySamples)(IAudioProcessor* self);
    tresult (*setupProcessing)(IAudioProcessor* self, ProcessSetup* setup);
    tresult (*setProcessing)(IAudioProcessor* self, TBool state);
    tresult (*process)(IAudioProcessor* self, ProcessData* data);
    uint32_t (*getTailSamples)(IAudioProcessor* self);
};
struct IAudioProcessor {
    const IAudioProcessorVtbl* vtbl;
};

struct IProcessContextRequirements;
struct IProcessContextRequirementsVtbl {
    FUnknownSlots<IProcessContextRequirements> unknown;
    uint32_t (*getProcessContextRequirements)(IProcessContextRequirements* self);
};
struct IProcessContextRequirements {
    const IProcessContextRequirementsVtbl* vtbl;
};

struct IConnectionPointVtbl {
    FUnknownSlots<IConnectionPoint> unknown;
    tresult (*connect)(IConnectionPoint* self, IConnectionPoint* other);
    tresult (*disconnect)(IConnectionPoint* self, IConnectionPoint* other);
    tresult (*notify)(IConnectionPoint* self, IMessage* message);
};
struct IConnectionPoint {
    const IConnectionPointVtbl* vtbl;
};

struct IEditController;
struct IEditControllerVtbl {
    FUnknownSlots<IEditController> unknown;
    IPluginBaseSlots<IEditController> base;
    tresult (*setComponentState)(IEditController* self, IBStream* state);
    tresult (*setState)(IEditController* self, IBStream* state);
    tresult (*getState)(IEditController* self, IBStream* state);
    int32_t (*getParameterCount)(IEditController* self);
    tresult (*getParameterInfo)(IEditController* self, int32_t paramIndex, ParameterInfo* info);
    tresult (*getParamStringByValue)(IEditController* self, ParamID id, ParamValue valueNormalized,
                                     TChar* string);
    tresult (*getParamValueByString)(IEditController* self, ParamID id, TChar* string,
                                     ParamValue* valueNormalized);
    ParamValue (*normalizedParamToPlain)(IEditController* self, ParamID id,
                                         ParamValue valueNormalized);
    ParamValue (*plainParamToNormalized)(IEditController* self, ParamID id, ParamValue plainValue);
    ParamValue (*getParamNormalized)(IEditController* self, ParamID id);
    tresult (*setParamNormalized)(IEditController* self, ParamID id, ParamValue value);
    tresult (*setComponentHandler)(IEditController* self, IComponentHandler* handler);
    IPlugView* (*createView)(IEditController* self, FIDString name);
};
struct IEditController {
    const IEditControllerVtbl* vtbl;
};

struct IMidiMapping;
struct IMidiMappingVtbl {
    FUnknownSlots<IMidiMapping> unknown;
    tresult (*getMidiControllerAssignment)(IMidiMapping* self, int32_t busIndex, int16_t channel,
                                           CtrlNumber midiControllerNumber, ParamID* id);
};
struct IMidiMapping {
    const IMidiMappingVtbl* vtbl;
};

struct IPlugViewVtbl {
    FUnknownSlots<IPlugView> unknown;
    tresult (*isPlatformTypeSupported)(IPlugView* self, FIDString type);
    tresult (*attached)(IPlugView* self, void* parent, FIDString type);
    tresult (*removed)(IPlugView* self);
    tresult (*onWheel)(IPlugView* self, float distance);
    tresult (*onKeyDown)(IPlugView* self, char16_t key, int16_t keyCode, int16_t modifiers);
    tresult (*onKeyUp)(IPlugView* self, char16_t key, int16_t keyCode, int16_t modifiers);
    tresult (*getSize)(IPlugView* self, ViewRect* size);
    tresult (*onSize)(IPlugView* self, ViewRect* newSize);
    tresult (*onFocus)(IPlugView* self, TBool state);
    tresult (*setFrame)(IPlugView* self, IPlugFrame* frame);
    tresult (*canResize)(IPlugView* self);
    tresult (*checkSizeConstraint)(IPlugView* self, ViewRect* rect);
};
struct IPlugView {
    const IPlugViewVtbl* vtbl;
};

// Host-side interfaces the plug-in calls.
struct IBStreamVtbl {
    FUnknownSlots<IBStream> unknown;
    tresult (*read)(IBStream* self, void* buffer, int32_t numBytes, int32_t* numBytesRead);
    tresult (*write)(IBStream* self, void* buffer, int32_t numBytes, int32_t* numBytesWritten);
    tresult (*seek)(IBStream* self, int64_t pos, int32_t mode, int64_t* result);
    tresult (*tell)(IBStream* self, int64_t* pos);
};
struct IBStream {
    const IBStreamVtbl* vtbl;
};

struct IParameterChangesVtbl {
    FUnknownSlots<IParameterChanges> unknown;
    int32_t (*getParameterCount)(IParameterChanges* self);
    IParamValueQueue* (*getParameterData)(IParameterChanges* self, int32_t index);
    IParamValueQueue* (*addParameterData)(IParameterChanges* self, const ParamID* id,
                                          int32_t* index);
};
struct IParameterChanges {
    const IParameterChangesVtbl* vtbl;
};

struct IParamValueQueueVtbl {
    FUnknownSlots<IParamValueQueue> unknown;
    ParamID (*getParameterId)(IParamValueQueue* self);
    int32_t (*getPointCount)(IParamValueQueue* self);
    tresult (*getPoint)(IParamValueQueue* self, int32_t index, int32_t* sampleOffset,
                        ParamValue* value);
    tresult (*addPoint)(IParamValueQueue* self, int32_t sampleOffset, ParamValue value,
                        int32_t* index);
};
struct IParamValueQueue {
    const IParamValueQueueVtbl* vtbl;
};

struct IComponentHandlerVtbl {
    FUnknownSlots<IComponentHandler> unknown;
    tresult (*beginEdit)(IComponentHandler* self, ParamID id);
    tresult (*performEdit)(IComponentHandler* self, ParamID id, ParamValue valueNormalized);
    tresult (*endEdit)(IComponentHandler* self, ParamID id);
    tresult (*restartComponent)(IComponentHandler* self, int32_t flags);
};
struct IComponentHandler {
    const IComponentHandlerVtbl* vtbl;
};

struct IPlugFrameVtbl {
    FUnknownSlots<IPlugFrame> unknown;
    tresult (*resizeView)(IPlugFrame* self, IPlugView* view, ViewRect* newSize);
};
struct IPlugFrame {
    const IPlugFrameVtbl* vtbl;
};

struct IAttributeList;
struct IMessageVtbl {
    FUnknownSlots<IMessage> unknown;
    FIDString (*getMessageID)(IMessage* self);
    void (*setMessageID)(IMessage* self, FIDString id);
    IAttributeList* (*getAttributes)(IMessage* self);
};
struct IMessage {
    const IMessageVtbl* vtbl;
};

// Slot positions, counted in pointers from the start of each table.
#define VST3_SLOT(table, slot, n) static_assert(offsetof(table, slot) == (n) * sizeof(void*), #slot)
VST3_SLOT(FUnknownVtbl, unknown.release, 2);
VST3_SLOT(IPluginFactory3Vtbl, getFactoryInfo, 3);
VST3_SLOT(IPluginFactory3Vtbl, createInstance, 6);
VST3_SLOT(IPluginFactory3Vtbl, getClassInfo2, 7);
VST3_SLOT(IPluginFactory3Vtbl, setHostContext, 9);
VST3_SLOT(IComponentVtbl, base.initialize, 3);
VST3_SLOT(IComponentVtbl, getControllerClassId, 5);
VST3_SLOT(IComponentVtbl, getBusInfo, 8);
VST3_SLOT(IComponentVtbl, setActive, 11);
VST3_SLOT(IComponentVtbl, getState, 13);
VST3_SLOT(IAudioProcessorVtbl, setBusArrangements, 3);
VST3_SLOT(IAudioProcessorVtbl, setupProcessing, 7);
VST3_SLOT(IAudioProcessorVtbl, process, 9);
VST3_SLOT(IAudioProcessorVtbl, getTailSamples, 10);
VST3_SLOT(IProcessContextRequirementsVtbl, getProcessContextRequirements, 3);
VST3_SLOT(IConnectionPointVtbl, notify, 5);
VST3_SLOT(IEditControllerVtbl, setComponentState, 5);
VST3_SLOT(IEditControllerVtbl, getParameterInfo, 9);
VST3_SLOT(IEditControllerVtbl, getParamNormalized, 14);
VST3_SLOT(IEditControllerVtbl, createView, 17);
VST3_SLOT(IMidiMappingVtbl, getMidiControllerAssignment, 3);
VST3_SLOT(IPlugViewVtbl, isPlatformTypeSupported, 3);
VST3_SLOT(IPlugViewVtbl, getSize, 9);
VST3_SLOT(IPlugViewVtbl, checkSizeConstraint, 14);
VST3_SLOT(IBStreamVtbl, tell, 6);
VST3_SLOT(IParameterChangesVtbl, addParameterData, 5);
VST3_SLOT(IParamValueQueueVtbl, addPoint, 6);
VST3_SLOT(IComponentHandlerVtbl, restartComponent, 6);
VST3_SLOT(IPlugFrameVtbl, resizeView, 3);
VST3_SLOT(IMessageVtbl, getAttributes, 5);
#undef VST3_SLOT
static_assert(sizeof(IEditControllerVtbl) == 18 * sizeof(void*), "IEditController slots");
static_assert(sizeof(IComponentVtbl) == 14 * sizeof(void*), "IComponent slots");
static_assert(sizeof(IPlugViewVtbl) == 15 * sizeof(void*), "IPlugView slots");
