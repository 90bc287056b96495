// The parameter lock: the audio thread tries it once per pass, the state threads spin for it.
#include "platform/platform.h"
#include "plugin_core.h"
#include "tables.h"

namespace {

uint8_t exchange_lock(PluginCore* core, uint8_t v) {
    return __atomic_exchange_n(&core->lock, v, __ATOMIC_SEQ_CST);
}

// Whole part of an input value, held inside its table so that no derived byte can index past it.
uint8_t table_row(float v) {
    if (!(v >= 0.0f)) return 0;
    if (v >= (float)(LFO_RATE_COUNT - 1)) return LFO_RATE_COUNT - 1;
    return (uint8_t)v;
}

} // namespace

void set_engine_copy(PluginCore* core, int index, float v) {
    switch (index) {
    case PARAM_CUTOFF:
        core->cutoff = v;
        core->base_byte = (uint8_t)(table_row(v) * 16 + 8);
        break;
    case PARAM_LFO_AMT:
        core->lfo_amt = v;
        core->depth_byte = table_row(v);
        break;
    case PARAM_LFO_SPEED:
        core->lfo_speed = v;
        core->rate_byte = table_row(v);
        break;
    }
}

void begin_block(PluginCore* core) {
    core->pass_holds_lock = exchange_lock(core, 1) == 0;
    if (!core->pass_holds_lock) return;
    if (!core->synced) {
        for (int i = 0; i < PARAM_INPUT_COUNT; ++i) {
            if (core->state_loaded) {
                core->values[i] = core->applied[i];
                set_engine_copy(core, i, core->applied[i]);
            } else if (!(core->values[i] == core->applied[i])) {
                core->applied[i] = core->values[i];
                set_engine_copy(core, i, core->values[i]);
            }
        }
    }
    core->synced = true;
    core->state_loaded = false;
}

void apply_input(PluginCore* core, int index, double plain) {
    if (index < 0 || index >= PARAM_INPUT_COUNT) return;
    if (plain == (double)core->values[index]) return;
    core->values[index] = (float)plain;
    if (!core->pass_holds_lock) return;
    core->applied[index] = (float)plain;
    set_engine_copy(core, index, (float)plain);
}

void end_block(PluginCore* core) {
    if (core->pass_holds_lock) exchange_lock(core, 0);
    core->pass_holds_lock = false;
}

void lock_for_state(PluginCore* core) {
    while (exchange_lock(core, 1) != 0)
        platform_yield();
    core->synced = false;
}

void set_value_from_state(PluginCore* core, int index, float value) {
    if (index < 0 || index >= PARAM_INPUT_COUNT) return;
    core->applied[index] = (float)quantize(index, value);
    core->state_loaded = true;
}

CoreStateValues read_values_for_state(const PluginCore* core) {
    CoreStateValues s;
    s.sample_rate = core->state_fs;
    if (core->state_loaded) {
        // A restore the audio thread has not picked up yet is what the instance now holds.
        for (int i = 0; i < PARAM_INPUT_COUNT; ++i)
            s.values[i] = core->applied[i];
    } else {
        s.values[PARAM_CUTOFF] = core->cutoff;
        s.values[PARAM_LFO_AMT] = core->lfo_amt;
        s.values[PARAM_LFO_SPEED] = core->lfo_speed;
    }
    return s;
}

void unlock_for_state(PluginCore* core) {
    exchange_lock(core, 0);
}
