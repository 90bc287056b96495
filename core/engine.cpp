#include "engine.h"

#include <math.h>

#include "fast_math.h"
#include "tables.h"

namespace {

constexpr float PI_F = 3.1415927f;
constexpr float INV_TWO_PI = 0.15915494f;
constexpr float NYQUIST_FRACTION = 0.499f;
constexpr float INPUT_GAIN = 0.92871904f;
constexpr float OUTPUT_GAIN = -1.076752f;
constexpr float SHAPER_SCALE = 0.026f;
constexpr float SHAPER_INV_SCALE = 38.46154f;
constexpr float SHAPER_BIAS = 159.69313f;
constexpr float CUTOFF_REG_MAX = 2047.0f;

enum OnePoleKind { ONE_POLE_HIGHPASS, ONE_POLE_LOWPASS };

// Bilinear one-pole at fc, prewarped at fc or, above 0.499 * fs, at that limit.
void one_pole_design(OnePoleFilter* f, OnePoleKind kind, float fc, float fs) {
    float limit = NYQUIST_FRACTION * fs;
    float fp = fc < limit ? fc : limit;
    float t = ((PI_F * fp) * rcp_fast(fs)) * INV_TWO_PI;
    float u = tan_turns_fast(t) * fc;
    float r = rcp_fast(u + fp);
    if (kind == ONE_POLE_HIGHPASS) {
        f->b0 = fp * r;
        f->b1 = -f->b0;
    } else {
        f->b0 = u * r;
        f->b1 = f->b0;
    }
    f->a1 = (u - fp) * r;
    f->s = 0.0f;
}

float clampf(float x, float lo, float hi) {
    return x < lo ? lo : (x > hi ? hi : x);
}

// Reciprocal of the resonance polynomial.
float filter_q_of(float resonance) {
    float r = clampf(resonance, 0.0f, 15.0f);
    return rcp_fast((r * 0.0023695724f + (-0.09443329f)) * r + 1.2542953f);
}

// Per-sample gains of the band-pass; they change only at LFO steps.
struct SvfCoefficients {
    float g;
    float kg;
    float d;
    float kk;
};

SvfCoefficients svf_coefficients(const PluginCore* core) {
    float fc = CUTOFF_CURVE_HZ * clampf(core->cutoff_reg, 1e-6f, CUTOFF_REG_MAX);
    float q = filter_q_of(core->resonance);
    float cut = clampf(fc, 1e-6f, 1e12f);
    float fp = cut < core->nyquist_limit ? cut : core->nyquist_limit;
    float t = (core->pi_over_fs * fp) * INV_TWO_PI;
    float a = rcp_fast(fp) * tan_turns_fast(t);
    SvfCoefficients c;
    c.g = cut * a;
    float k = rcp_fast(clampf(q, 1e-6f, 1e6f));
    c.kg = k + c.g;
    c.d = rcp_fast(c.g * c.kg + 1.0f);
    c.kk = a * core->hist_cutoff;
    return c;
}

inline float one_pole(OnePoleFilter* f, float x) {
    float y = f->b0 * x + f->s;
    f->s = f->b1 * x - f->a1 * y;
    return y;
}

inline float svf_bandpass(PluginCore* core, const SvfCoefficients& c, float x) {
    float lp_x = c.kk * core->bp_z1 + core->lp_z1;
    float bp_x = c.kk * core->hp_z1 + core->bp_z1;
    float hp = ((x * INPUT_GAIN - c.kg * bp_x) - lp_x) * c.d;
    float bp = c.g * hp + bp_x;
    float lp = c.g * bp + lp_x;
    core->hp_z1 = hp;
    core->bp_z1 = bp;
    core->lp_z1 = lp;
    return -bp;
}

inline float waveshaper(const PluginCore* core, float x) {
    return omega_fast(x * SHAPER_INV_SCALE + SHAPER_BIAS) * SHAPER_SCALE - core->shaper_offset;
}

void lfo_step(PluginCore* core) {
    core->lfo_phase = (uint8_t)(core->lfo_phase + lfo_rate_table[core->rate_byte]);
    int v = core->base_byte + lfo_wave_table.row[core->depth_byte][core->lfo_phase];
    v = v <= 0 ? 0 : (v >= 255 ? 255 : v);
    core->mod_index = (uint8_t)v;
    core->cutoff_reg = (float)cutoff_curve_table[v];
    core->lfo_countdown = core->lfo_period;
}

// Samples between LFO steps: fs / 100, and never less than one so that the run loop advances.
int32_t lfo_period_of(float fs) {
    double p = floor((double)(fs * 0.01f) + 0.5);
    if (!(p >= 1.0)) return 1;
    if (p > 1e9) return 1000000000;
    return (int32_t)p;
}

} // namespace

void engine_reset(PluginCore* core) {
    float fs = core->setup_fs;
    core->lfo_period = lfo_period_of(fs);
    core->pi_over_fs = PI_F / fs;
    core->nyquist_limit = fs * NYQUIST_FRACTION;
    one_pole_design(&core->input_highpass, ONE_POLE_HIGHPASS, 4.3141942f, fs);
    one_pole_design(&core->output_lowpass, ONE_POLE_LOWPASS, 15915.494f, fs);
    one_pole_design(&core->dc_blocker, ONE_POLE_HIGHPASS, 1.0f, fs);
    core->active_fs = fs;
    core->state_fs = fs;
    core->hist_cutoff =
        core->cutoff_reg < CUTOFF_REG_MAX
            ? CUTOFF_CURVE_HZ * (core->cutoff_reg > 1e-6f ? core->cutoff_reg : 1e-6f)
            : 13164.189f;
    core->filter_q = filter_q_of(core->resonance);
    core->hp_z1 = 0.0f;
    core->bp_z1 = 0.0f;
    core->lp_z1 = 0.0f;
    core->lfo_countdown = 0;
    core->lfo_phase = 0;
    core->mod_index = core->base_byte;
}

void engine_deactivate(PluginCore* core) {
    core->active_fs = 0.0f;
}

void engine_process(PluginCore* core, const float* in, float* out, uint32_t count) {
    uint32_t pos = 0;
    while (pos < count) {
        if (core->lfo_countdown <= 0) lfo_step(core);
        uint32_t left = count - pos;
        uint32_t run = (uint32_t)core->lfo_countdown < left ? (uint32_t)core->lfo_countdown : left;
        core->filter_q = filter_q_of(core->resonance);
        SvfCoefficients c = svf_coefficients(core);
        for (uint32_t i = pos; i < pos + run; ++i) {
            float x = one_pole(&core->input_highpass, in[i]);
            x = svf_bandpass(core, c, x) * OUTPUT_GAIN;
            x = one_pole(&core->output_lowpass, x);
            x = waveshaper(core, x);
            out[i] = one_pole(&core->dc_blocker, x);
        }
        core->lfo_countdown -= (int32_t)run;
        pos += run;
    }
}
