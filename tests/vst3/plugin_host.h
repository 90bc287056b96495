// What the VST3 test programs share as a host: the loaded module, instances created by class ID,
// audio blocks with their ProcessData, and a reading of saved states.
#pragma once

#include <stdint.h>

#include <vector>

#include "memory_stream.h"
#include "module_loader.h"
#include "parameter_changes.h"
#include "recording_handler.h"
#include "vst3/uids.h"

// [test thread] The module of this build's bundle, loaded on first use and kept loaded; null
// (with the reason in `error` when given) when it cannot be loaded.
const LoadedModule* velumModule(char* error = nullptr);

// [test thread] New instances through `factory` (null: the loaded module's), or null.
IComponent* newComponent(IPluginFactory3* factory = nullptr);
IEditController* newController(IPluginFactory3* factory = nullptr);

// [test thread] obj asked for interface `iid` (a counted reference), or null.
template <class To, class From>
To* queryAs(From* obj, const Uid& iid) {
    void* out = nullptr;
    if (obj->vtbl->unknown.queryInterface(obj, iid.bytes, &out) != kResultOk) return nullptr;
    return (To*)out;
}

template <class T>
uint32_t releaseRef(T* obj) {
    return obj->vtbl->unknown.release(obj);
}

template <class T>
uint32_t addRef(T* obj) {
    return obj->vtbl->unknown.addRef(obj);
}

// One mono block: buffers, buses and the ProcessData pointing at them.
struct AudioBlock {
    std::vector<float> input;
    std::vector<float> output;
    float* inputChannels[1];
    float* outputChannels[1];
    AudioBusBuffers inputBus;
    AudioBusBuffers outputBus;
    ProcessData data;

    explicit AudioBlock(int32_t samples);
    // ProcessData for one call; `in` and `out` may be null.
    ProcessData* prepare(ParameterChanges* in, ParameterChanges* out);
};

// An initialized component with its processor, set up at `sampleRate`; with `activateBuses`
// both buses are activated before setActive(true).
struct ActiveComponent {
    IComponent* component = nullptr;
    IAudioProcessor* processor = nullptr;

    // 0 on success; `factory` as for newComponent.
    int start(double sampleRate, bool activateBuses, IPluginFactory3* factory = nullptr);
    void stop();
    tresult process(AudioBlock& block, ParameterChanges* in, ParameterChanges* out);
    // The three values getState saves now; empty when getState fails or the blob is refused.
    std::vector<float> savedValues();
};

// A state blob as the state writer makes it for `format` ("vst3" or "lv2") with these values.
std::vector<uint8_t> stateBlob(const char* format, float cutoff, float lfoAmt, float lfoSpeed);

// The three parameter values of a saved state, read with the state reader; false when refused.
bool readStateValues(const std::vector<uint8_t>& blob, float values[3]);

// A deterministic test signal in [-0.5, 0.5].
void fillNoise(std::vector<float>& samples, uint32_t seed);
