// The LV2 plug-in: the host's life cycle of one instance, from instantiate to cleanup.
#include <stdlib.h>
#include <string.h>

#include <lv2/atom/atom.h>
#include <lv2/core/lv2_util.h>

#include "core/engine.h"
#include "instance.h"
#include "platform/platform.h"
#include "port_value.h"
#include "uris.h"

// [host thread] New instance, or null when memory runs out; the bundle path is not used.
static LV2_Handle instantiate(const LV2_Descriptor*, double sample_rate, const char*,
                              const LV2_Feature* const* features) {
    Lv2Plugin* p = (Lv2Plugin*)calloc(1, sizeof(Lv2Plugin));
    if (!p) return nullptr;
    LV2_Log_Log* log = nullptr;
    const char* missing = lv2_features_query(features, LV2_LOG__log, &log, false, LV2_URID__map,
                                             &p->map, true, (const char*)nullptr);
    lv2_log_logger_init(&p->logger, p->map, log);
    // Without the map the instance still plays; only state save and restore refuse.
    if (missing) lv2_log_error(&p->logger, "Missing feature <%s>\n", missing);
    if (p->map) {
        p->chunk_urid = p->map->map(p->map->handle, LV2_ATOM__Chunk);
        p->state_property_urid = p->map->map(p->map->handle, VELUM_LV2_STATE_PROPERTY_URI);
    }
    p->sample_rate = (float)sample_rate;
    plugin_core_init(&p->core, p->sample_rate);
    return p;
}

// [host thread, or audio thread between runs] Stores the pointer unchanged; other ports ignored.
static void connect_port(LV2_Handle instance, uint32_t port, void* data) {
    Lv2Plugin* p = (Lv2Plugin*)instance;
    switch (port) {
    case PORT_AUDIO_IN:
        p->audio_in = (const float*)data;
        break;
    case PORT_AUDIO_OUT:
        p->audio_out = (float*)data;
        break;
    case PORT_CUTOFF:
    case PORT_LFO_AMT:
    case PORT_LFO_SPEED:
        p->controls[port - PORT_CUTOFF] = (const float*)data;
        break;
    case PORT_MOD_CUTOFF:
        p->mod_cutoff = (float*)data;
        break;
    default:
        break;
    }
}

// [host thread, nothing else using the instance] Start from the control ports' current values.
static void activate(LV2_Handle instance) {
    Lv2Plugin* p = (Lv2Plugin*)instance;
    PluginCore* core = &p->core;
    for (int i = 0; i < PARAM_INPUT_COUNT; ++i) {
        const float* port = p->controls[i];
        // Rounded and clamped as run does, so that no raw port value reaches the bytes or a save.
        float v = port ? round_port_value(i, *port) : (float)input_param_table[i].def;
        core->values[i] = v;
        core->applied[i] = v;
        set_engine_copy(core, i, v);
    }
    // A fresh activation starts with the lock free and no pass or restore pending.
    unlock_for_state(core);
    core->synced = true;
    core->state_loaded = false;
    engine_reset(core);
}

// [audio thread] One block: control ports in, engine over the audio, modulated cutoff out.
static void run(LV2_Handle instance, uint32_t sample_count) {
    Lv2Plugin* p = (Lv2Plugin*)instance;
    unsigned saved_mode = fp_mode_enter();
    begin_block(&p->core);
    for (int i = 0; i < PARAM_INPUT_COUNT; ++i)
        if (p->controls[i]) apply_input(&p->core, i, round_port_value(i, *p->controls[i]));
    end_block(&p->core);
    if (sample_count) engine_process(&p->core, p->audio_in, p->audio_out, sample_count);
    if (p->mod_cutoff) *p->mod_cutoff = (float)p->core.mod_index;
    fp_mode_leave(saved_mode);
}

// [host thread] Ends the instance; the host's features stay the host's.
static void cleanup(LV2_Handle instance) {
    free(instance);
}

// [any thread] The state interface; null for every other extension.
static const void* extension_data(const char* uri) {
    if (uri && strcmp(uri, LV2_STATE__interface) == 0) return &lv2_state_interface;
    return nullptr;
}

static const LV2_Descriptor descriptor = {
    VELUM_LV2_URI, instantiate, connect_port, activate, run, nullptr, cleanup, extension_data,
};

// [any thread] The plug-in's only descriptor is number 0.
LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
    return index == 0 ? &descriptor : nullptr;
}
