#include "plugin_core.h"

void plugin_core_init(PluginCore* core, float sample_rate) {
    *core = PluginCore{};
    for (int i = 0; i < PARAM_INPUT_COUNT; ++i) {
        float def = (float)input_param_table[i].def;
        core->values[i] = def;
        core->applied[i] = def;
        set_engine_copy(core, i, def);
    }
    core->synced = true;
    core->state_loaded = false;
    core->lock = 0;
    core->last_reported = (float)output_param_table[0].def;

    core->setup_fs = sample_rate;
    core->mod_index = core->base_byte;
    core->resonance = 15.0f;
    core->shaper_offset = 4.0209527f;
}
