#include "engine.h"

#include <math.h>

#include "fast_math.h"
#include "fast_math4.h"
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

// Band-pass filter memories, held in registers over a run.
struct SvfMemory {
    float hp;
    float bp;
    float lp;
};

inline float one_pole(OnePoleFilter& f, float x) {
    float y = f.b0 * x + f.s;
    f.s = f.b1 * x - f.a1 * y;
    return y;
}

inline float input_highpass(OnePoleFilter& f, float x) {
    return one_pole(f, x);
}

inline float svf_bandpass(SvfMemory& z, const SvfCoefficients& c, float x) {
    float lp_x = c.kk * z.bp + z.lp;
    float bp_x = c.kk * z.hp + z.bp;
    float hp = ((x * INPUT_GAIN - c.kg * bp_x) - lp_x) * c.d;
    float bp = c.g * hp + bp_x;
    float lp = c.g * bp + lp_x;
    z.hp = hp;
    z.bp = bp;
    z.lp = lp;
    return -bp;
}

inline float output_gain(float x) {
    return x * OUTPUT_GAIN;
}

inline float output_lowpass(OnePoleFilter& f, float x) {
    return one_pole(f, x);
}

inline __m128 waveshaper(__m128 x, __m128 offset) {
    __m128 m = _mm_add_ps(_mm_mul_ps(x, _mm_set1_ps(SHAPER_INV_SCALE)), _mm_set1_ps(SHAPER_BIAS));
    return _mm_sub_ps(_mm_mul_ps(omega_fast4(m), _mm_set1_ps(SHAPER_SCALE)), offset);
}

inline float dc_blocker(OnePoleFilter& f, float x) {
    return one_pole(f, x);
}

// The chain's state for one run between LFO steps; the coefficients cannot change inside it.
struct RunState {
    SvfCoefficients svf;
    SvfMemory z;
    OnePoleFilter input_highpass;
    OnePoleFilter output_lowpass;
    OnePoleFilter dc_blocker;
    __m128 shaper_offset;
};

// The stages before the waveshaper, which run one sample after another.
__attribute__((always_inline)) inline float serial_stages(RunState& r, float x) {
    x = input_highpass(r.input_highpass, x);
    x = output_gain(svf_bandpass(r.z, r.svf, x));
    return output_lowpass(r.output_lowpass, x);
}

// Four samples through the serial stages, as one vector.
__attribute__((always_inline)) inline __m128 serial_four(RunState& r, const float* in) {
    float a = serial_stages(r, in[0]);
    float b = serial_stages(r, in[1]);
    float c = serial_stages(r, in[2]);
    float d = serial_stages(r, in[3]);
    return _mm_setr_ps(a, b, c, d);
}

__attribute__((always_inline)) inline void dc_four(RunState& r, __m128 shaped, float* out) {
    alignas(16) float v[4];
    _mm_store_ps(v, shaped);
    for (int j = 0; j < 4; ++j)
        out[j] = dc_blocker(r.dc_blocker, v[j]);
}

// Whole groups of four, software-pipelined so that the out-of-order core overlaps the band-pass
// chain of group k with the waveshaper of group k-1 and the dc blocker of group k-2.
void process_groups(RunState& r, const float* in, float* out, uint32_t groups) {
    if (groups == 0) return;
    __m128 serial_prev = serial_four(r, in);
    if (groups == 1) {
        dc_four(r, waveshaper(serial_prev, r.shaper_offset), out);
        return;
    }
    __m128 serial_last = serial_four(r, in + 4);
    __m128 shaped_prev = waveshaper(serial_prev, r.shaper_offset);
    for (uint32_t k = 2; k < groups; ++k) {
        __m128 serial = serial_four(r, in + 4 * k);
        __m128 shaped = waveshaper(serial_last, r.shaper_offset);
        dc_four(r, shaped_prev, out + 4 * (k - 2));
        serial_last = serial;
        shaped_prev = shaped;
    }
    dc_four(r, shaped_prev, out + 4 * (groups - 2));
    dc_four(r, waveshaper(serial_last, r.shaper_offset), out + 4 * (groups - 1));
}

// The last one to three samples of a run, with unused lanes left at zero.
void process_tail(RunState& r, const float* in, float* out, uint32_t n) {
    alignas(16) float v[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    for (uint32_t j = 0; j < n; ++j)
        v[j] = serial_stages(r, in[j]);
    _mm_store_ps(v, waveshaper(_mm_load_ps(v), r.shaper_offset));
    for (uint32_t j = 0; j < n; ++j)
        out[j] = dc_blocker(r.dc_blocker, v[j]);
}

void process_run(PluginCore* core, const float* in, float* out, uint32_t n) {
    core->filter_q = filter_q_of(core->resonance);
    RunState r;
    r.svf = svf_coefficients(core);
    r.z = SvfMemory{core->hp_z1, core->bp_z1, core->lp_z1};
    r.input_highpass = core->input_highpass;
    r.output_lowpass = core->output_lowpass;
    r.dc_blocker = core->dc_blocker;
    r.shaper_offset = _mm_set1_ps(core->shaper_offset);
    uint32_t groups = n / 4;
    process_groups(r, in, out, groups);
    if (n % 4) process_tail(r, in + 4 * groups, out + 4 * groups, n % 4);
    core->hp_z1 = r.z.hp;
    core->bp_z1 = r.z.bp;
    core->lp_z1 = r.z.lp;
    core->input_highpass.s = r.input_highpass.s;
    core->output_lowpass.s = r.output_lowpass.s;
    core->dc_blocker.s = r.dc_blocker.s;
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
        process_run(core, in + pos, out + pos, run);
        core->lfo_countdown -= (int32_t)run;
        pos += run;
    }
}
