// One LV2 plug-in instance: the embedded core, the six port pointers and the host's features.
#pragma once

#include <lv2/core/lv2.h>
#include <lv2/log/logger.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include "core/plugin_core.h"

// The ports in the order the Turtle description declares them.
enum Lv2Port {
    PORT_AUDIO_IN = 0,
    PORT_AUDIO_OUT = 1,
    PORT_CUTOFF = 2,
    PORT_LFO_AMT = 3,
    PORT_LFO_SPEED = 4,
    PORT_MOD_CUTOFF = 5,
};

// Owned by the host from instantiate to cleanup; every pointer below belongs to the host.
struct Lv2Plugin {
    PluginCore core;
    float sample_rate; // given to instantiate, saved with the state
    // [audio thread reads; set by connect_port] Port buffers, null until connected.
    const float* audio_in;
    float* audio_out;
    const float* controls[PARAM_INPUT_COUNT]; // cutoff, lfo_amt, lfo_speed
    float* mod_cutoff;
    // Error log: the host's log feature (may be null, then standard error) and its type URIDs.
    LV2_Log_Logger logger;
    LV2_URID_Map* map; // may be null: then state save and restore refuse
    LV2_URID chunk_urid;
    LV2_URID state_property_urid;
};

// The state extension that extension_data hands out.
extern const LV2_State_Interface lv2_state_interface;
