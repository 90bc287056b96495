#include "plugin_host.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "state/state_document.h"

const LoadedModule* velumModule(char* error) {
    static LoadedModule module;
    static char reason[256];
    static int loaded = loadModule(VELUM_VST3_BUNDLE, &module, reason);
    if (error) snprintf(error, 256, "%s", reason);
    return loaded == 0 ? &module : nullptr;
}

template <class T>
static T* newInstance(IPluginFactory3* f, const Uid& cid, const Uid& iid) {
    if (!f) {
        const LoadedModule* m = velumModule();
        if (!m) return nullptr;
        f = m->factory3;
    }
    void* obj = nullptr;
    if (f->vtbl->createInstance(f, cid.bytes, iid.bytes, &obj) != kResultOk) return nullptr;
    return (T*)obj;
}

IComponent* newComponent(IPluginFactory3* factory) {
    return newInstance<IComponent>(factory, AudioComponent_cid, IComponent_iid);
}

IEditController* newController(IPluginFactory3* factory) {
    return newInstance<IEditController>(factory, EditController_cid, IEditController_iid);
}

AudioBlock::AudioBlock(int32_t samples) : input((size_t)samples), output((size_t)samples) {
    memset(&data, 0, sizeof data);
}

ProcessData* AudioBlock::prepare(ParameterChanges* in, ParameterChanges* out) {
    inputChannels[0] = input.data();
    outputChannels[0] = output.data();
    inputBus = {};
    inputBus.numChannels = 1;
    inputBus.channelBuffers32 = inputChannels;
    outputBus = {};
    outputBus.numChannels = 1;
    outputBus.channelBuffers32 = outputChannels;
    data = {};
    data.processMode = 0;
    data.symbolicSampleSize = kSample32;
    data.numSamples = (int32_t)input.size();
    data.numInputs = 1;
    data.numOutputs = 1;
    data.inputs = &inputBus;
    data.outputs = &outputBus;
    data.inputParameterChanges = in ? in->get() : nullptr;
    data.outputParameterChanges = out ? out->get() : nullptr;
    return &data;
}

int ActiveComponent::start(double sampleRate, bool activateBuses, IPluginFactory3* factory) {
    component = newComponent(factory);
    if (!component) return -1;
    processor = queryAs<IAudioProcessor>(component, IAudioProcessor_iid);
    if (!processor || component->vtbl->base.initialize(component, hostContext()) != kResultOk)
        return -1;
    ProcessSetup setup = {0, kSample32, 4096, sampleRate};
    if (processor->vtbl->setupProcessing(processor, &setup) != kResultOk) return -1;
    if (activateBuses) {
        component->vtbl->activateBus(component, kAudio, kInput, 0, 1);
        component->vtbl->activateBus(component, kAudio, kOutput, 0, 1);
    }
    return component->vtbl->setActive(component, 1) == kResultOk ? 0 : -1;
}

void ActiveComponent::stop() {
    if (component) {
        component->vtbl->setActive(component, 0);
        component->vtbl->base.terminate(component);
    }
    if (processor) releaseRef(processor);
    if (component) releaseRef(component);
    component = nullptr;
    processor = nullptr;
}

tresult ActiveComponent::process(AudioBlock& block, ParameterChanges* in, ParameterChanges* out) {
    return processor->vtbl->process(processor, block.prepare(in, out));
}

std::vector<float> ActiveComponent::savedValues() {
    MemoryStream s;
    float v[3];
    if (component->vtbl->getState(component, s.get()) != kResultOk) return {};
    if (!readStateValues(s.bytes, v)) return {};
    return {v[0], v[1], v[2]};
}

namespace {
struct ReadValues {
    float values[3];
};
} // namespace

static void ignoreLock(void*) {}
static void storeValue(void* owner, int index, float value) {
    ((ReadValues*)owner)->values[index] = value;
}

std::vector<uint8_t> stateBlob(const char* format, float cutoff, float lfoAmt, float lfoSpeed) {
    const float values[3] = {cutoff, lfoAmt, lfoSpeed};
    size_t size = 0;
    uint8_t* blob = build_state_blob(format, 44100.0f, values, &size);
    std::vector<uint8_t> bytes(blob, blob + size);
    free(blob);
    return bytes;
}

bool readStateValues(const std::vector<uint8_t>& blob, float values[3]) {
    ReadValues read = {{-1, -1, -1}};
    const StateRestoreHooks hooks = {&read, ignoreLock, ignoreLock, storeValue};
    if (restore_state_blob(&hooks, blob.data(), blob.size()) != 0) return false;
    memcpy(values, read.values, sizeof read.values);
    return true;
}

void fillNoise(std::vector<float>& samples, uint32_t seed) {
    uint32_t x = seed * 2654435761u + 1;
    for (float& s : samples) {
        x = x * 1664525u + 1013904223u;
        s = (float)(x >> 8) / 16777216.0f - 0.5f;
    }
}
