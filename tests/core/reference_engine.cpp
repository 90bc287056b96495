#include "reference_engine.h"

#include "core/fast_math.h"
#include "core/tables.h"

namespace {

float clamp_between(float x, float lo, float hi) {
    return x < lo ? lo : (x > hi ? hi : x);
}

float one_pole_sample(OnePoleFilter* f, float x) {
    float y = f->b0 * x + f->s;
    f->s = f->b1 * x - f->a1 * y;
    return y;
}

void take_lfo_step(PluginCore* core) {
    core->lfo_phase = (uint8_t)((core->lfo_phase + lfo_rate_table[core->rate_byte]) % 256);
    int v = core->base_byte + (int)lfo_wave_table.row[core->depth_byte][core->lfo_phase];
    if (v <= 0) v = 0;
    if (v >= 255) v = 255;
    core->mod_index = (uint8_t)v;
    core->cutoff_reg = (float)cutoff_curve_table[v];
    core->lfo_countdown = core->lfo_period;
}

float process_sample(PluginCore* core, float x) {
    x = one_pole_sample(&core->input_highpass, x);

    float fc = 6.430967f * clamp_between(core->cutoff_reg, 1e-6f, 2047.0f);
    float r = clamp_between(core->resonance, 0.0f, 15.0f);
    core->filter_q = rcp_fast((r * 0.0023695724f + (-0.09443329f)) * r + 1.2542953f);

    float cut = clamp_between(fc, 1e-6f, 1e12f);
    float fp = cut < core->nyquist_limit ? cut : core->nyquist_limit;
    float t = (core->pi_over_fs * fp) * 0.15915494f;
    float a = rcp_fast(fp) * tan_turns_fast(t);
    float g = cut * a;
    float k = rcp_fast(clamp_between(core->filter_q, 1e-6f, 1e6f));
    float kg = k + g;
    float d = rcp_fast(g * kg + 1.0f);
    float kk = a * core->hist_cutoff;
    float lp_x = kk * core->bp_z1 + core->lp_z1;
    float bp_x = kk * core->hp_z1 + core->bp_z1;
    float hp = ((x * 0.92871904f - kg * bp_x) - lp_x) * d;
    float bp = g * hp + bp_x;
    float lp = g * bp + lp_x;
    core->hp_z1 = hp;
    core->bp_z1 = bp;
    core->lp_z1 = lp;
    x = -bp;

    x = x * -1.076752f;
    x = one_pole_sample(&core->output_lowpass, x);
    x = omega_fast(x * 38.46154f + 159.69313f) * 0.026f - core->shaper_offset;
    return one_pole_sample(&core->dc_blocker, x);
}

} // namespace

void reference_engine_process(PluginCore* core, const float* in, float* out, uint32_t count) {
    uint32_t pos = 0;
    while (pos < count) {
        if (core->lfo_countdown == 0) take_lfo_step(core);
        uint32_t run = count - pos;
        if ((uint32_t)core->lfo_countdown < run) run = (uint32_t)core->lfo_countdown;
        for (uint32_t i = 0; i < run; ++i)
            out[pos + i] = process_sample(core, in[pos + i]);
        core->lfo_countdown -= (int32_t)run;
        pos += run;
    }
}
