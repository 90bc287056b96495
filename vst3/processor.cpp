// IAudioProcessor of the audio component: the bus arrangement and the block loop.
#include <string.h>

#include "com_object.h"
#include "component.h"
#include "core/engine.h"
#include "platform/platform.h"

static Component* self(IAudioProcessor* iface) {
    return objectOf<Component, offsetof(Component, processor)>(iface);
}

// --- set-up (UI thread, processing stopped) ---

// inputs/outputs are borrowed arrays of numIns/numOuts arrangements; nothing is stored.
static tresult setBusArrangements(IAudioProcessor*, SpeakerArrangement* inputs, int32_t numIns,
                                  SpeakerArrangement* outputs, int32_t numOuts) {
    if (numIns < 0 || numOuts < 0) return kInvalidArgument;
    if (numIns != 1 || numOuts != 1) return kResultFalse;
    if (!inputs || !outputs) return kInvalidArgument;
    return inputs[0] == kSpeakerArrMono && outputs[0] == kSpeakerArrMono ? kResultOk : kResultFalse;
}

static tresult getBusArrangement(IAudioProcessor*, BusDirection dir, int32_t index,
                                 SpeakerArrangement* arr) {
    if ((dir != kInput && dir != kOutput) || index != 0 || !arr) return kInvalidArgument;
    *arr = kSpeakerArrMono;
    return kResultOk;
}

static tresult canProcessSampleSize(IAudioProcessor*, int32_t size) {
    return size == kSample32 ? kResultOk : kNotImplemented;
}

static uint32_t getLatencySamples(IAudioProcessor*) {
    return 0;
}

static tresult setupProcessing(IAudioProcessor* iface, ProcessSetup* setup) {
    if (!setup) return kInvalidArgument;
    self(iface)->core.setup_fs = (float)setup->sampleRate;
    return kResultOk;
}

static tresult setProcessing(IAudioProcessor*, TBool) {
    return kNotImplemented;
}

static uint32_t getTailSamples(IAudioProcessor*) {
    return 0;
}

// --- the block (audio thread) ---

// Point 0 when it sits at offset 0 (before the block), or the last point when it sits after 0.
enum PassKind { PASS_BEFORE_BLOCK, PASS_AFTER_BLOCK };

static void parameterPass(Component* c, IParameterChanges* changes, PassKind kind) {
    begin_block(&c->core);
    const int32_t queues = changes ? changes->vtbl->getParameterCount(changes) : 0;
    for (int32_t i = 0; i < queues; ++i) {
        IParamValueQueue* q = changes->vtbl->getParameterData(changes, i);
        if (!q) continue;
        const int32_t points = q->vtbl->getPointCount(q);
        if (points <= 0) continue;
        int32_t offset = -1;
        ParamValue value = 0.0;
        const int32_t point = kind == PASS_BEFORE_BLOCK ? 0 : points - 1;
        if (q->vtbl->getPoint(q, point, &offset, &value) != kResultOk) continue;
        if (kind == PASS_BEFORE_BLOCK ? offset != 0 : offset <= 0) continue;
        const int index = param_index_of(q->vtbl->getParameterId(q));
        if (index < 0 || index >= PARAM_INPUT_COUNT) continue;
        apply_input(&c->core, index, quantize(index, to_plain(index, value)));
    }
    end_block(&c->core);
}

// First channel of bus 0, or null when the host gave none.
static float* firstChannel(const AudioBusBuffers* buses, int32_t count) {
    if (!buses || count < 1 || buses[0].numChannels < 1 || !buses[0].channelBuffers32)
        return nullptr;
    return buses[0].channelBuffers32[0];
}

static void writeSilence(ProcessData* data, int32_t samples) {
    if (!data->outputs) return;
    for (int32_t b = 0; b < data->numOutputs; ++b) {
        AudioBusBuffers& bus = data->outputs[b];
        if (!bus.channelBuffers32) continue;
        for (int32_t ch = 0; ch < bus.numChannels; ++ch)
            if (bus.channelBuffers32[ch])
                memset(bus.channelBuffers32[ch], 0, (size_t)samples * sizeof(float));
    }
}

static void reportModulatedCutoff(Component* c, ProcessData* data, int32_t samples) {
    const float v = (float)c->core.mod_index;
    if (v == c->core.last_reported) return;
    c->core.last_reported = v;
    IParameterChanges* out = data->outputParameterChanges;
    if (!out) return;
    const ParamID id = PARAM_ID_MOD_CUTOFF;
    int32_t queueIndex = 0;
    IParamValueQueue* q = out->vtbl->addParameterData(out, &id, &queueIndex);
    if (!q) return;
    int32_t pointIndex = 0;
    q->vtbl->addPoint(q, samples > 0 ? samples - 1 : 0, (double)v / 255.0, &pointIndex);
}

// data and everything it points to are borrowed for the call.
static tresult process(IAudioProcessor* iface, ProcessData* data) {
    if (!data) return kInvalidArgument;
    Component* c = self(iface);
    const unsigned savedModes = fp_mode_enter();
    const int32_t samples = data->numSamples > 0 ? data->numSamples : 0;

    parameterPass(c, data->inputParameterChanges, PASS_BEFORE_BLOCK);
    c->inputChannel = firstChannel(data->inputs, data->numInputs);
    c->outputChannel = firstChannel(data->outputs, data->numOutputs);
    if (c->processing_enabled && c->inputChannel && c->outputChannel) {
        if (samples > 0) engine_process(&c->core, c->inputChannel, c->outputChannel, samples);
    } else {
        writeSilence(data, samples);
    }
    parameterPass(c, data->inputParameterChanges, PASS_AFTER_BLOCK);
    reportModulatedCutoff(c, data, samples);

    fp_mode_leave(savedModes);
    return kResultOk;
}

const IAudioProcessorVtbl componentProcessorVtbl = {
    UnknownSlots<Component, offsetof(Component, processor), IAudioProcessor>::table,
    setBusArrangements,
    getBusArrangement,
    canProcessSampleSize,
    getLatencySamples,
    setupProcessing,
    setProcessing,
    process,
    getTailSamples,
};
