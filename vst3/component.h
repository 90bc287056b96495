// The audio component: one PluginCore behind IComponent, IAudioProcessor,
// IProcessContextRequirements and IConnectionPoint.
#pragma once

#include "core/plugin_core.h"
#include "vst3_interfaces.h"

struct Component {
    // Interface members first, in this order; each is the address the host holds.
    IComponent component;
    IAudioProcessor processor;
    IProcessContextRequirements contextRequirements;
    IConnectionPoint connectionPoint;
    // [UI thread] Plain count shared by the four interfaces.
    int32_t refCount;
    // [UI thread] Borrowed from the host at initialize; null while not initialized.
    FUnknown* hostContext;
    // Parameters and engine; see PluginCore for which thread owns each field.
    PluginCore core;
    // [audio thread] Channel buffers of the block in progress, borrowed from the host.
    const float* inputChannel;
    float* outputChannel;
    // [UI thread, read by the audio thread while active] Both buses were active at setActive.
    bool processing_enabled;
    // [UI thread] Bus activation as the host set it; takes effect at the next setActive(true).
    bool input_bus_active;
    bool output_bus_active;
};

// [UI thread] A new component (count 1, not initialized) owned by the caller, or null.
IComponent* createComponent();

// The IAudioProcessor table (processor.cpp).
extern const IAudioProcessorVtbl componentProcessorVtbl;

// [state thread] Save/restore through the parameter lock (component_state.cpp).
tresult componentGetState(Component* c, IBStream* stream);
tresult componentSetState(Component* c, IBStream* stream);

// Shared by the component's interface files.
tresult objectQueryInterface(Component* c, const char* iid, void** obj);
uint32_t objectAddRef(Component* c);
uint32_t objectRelease(Component* c);
