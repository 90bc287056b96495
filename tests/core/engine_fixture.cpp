#include "engine_fixture.h"

#include <math.h>
#include <string.h>

#include "core/engine.h"

uint32_t bits_of(float x) {
    uint32_t u;
    memcpy(&u, &x, sizeof u);
    return u;
}

void set_params(PluginCore* core, int index, double value) {
    begin_block(core);
    apply_input(core, index, value);
    end_block(core);
}

void start_instance(PluginCore* core, float fs, int cutoff, int lfo_amt, int lfo_speed) {
    plugin_core_init(core, fs);
    set_params(core, PARAM_CUTOFF, cutoff);
    set_params(core, PARAM_LFO_AMT, lfo_amt);
    set_params(core, PARAM_LFO_SPEED, lfo_speed);
    engine_reset(core);
}

void reactivate(PluginCore* core) {
    std::vector<float> noise(3000);
    uint32_t s = 99u;
    for (float& x : noise) {
        s = s * 1664525u + 1013904223u;
        x = (float)(int32_t)s * (0.25f / 2147483648.0f);
    }
    engine_process(core, noise.data(), noise.data(), (uint32_t)noise.size());
    engine_deactivate(core);
    engine_reset(core);
}

std::vector<float> render(PluginCore* core, const std::vector<float>& in,
                          const std::vector<uint32_t>& blocks) {
    std::vector<float> out(in.size());
    size_t pos = 0;
    for (size_t b = 0; pos < in.size(); ++b) {
        uint32_t n = blocks[b % blocks.size()];
        if (n > in.size() - pos) n = (uint32_t)(in.size() - pos);
        engine_process(core, in.data() + pos, out.data() + pos, n);
        pos += n;
    }
    return out;
}

std::vector<float> sine(float hz, float amp, float fs, uint32_t n) {
    std::vector<float> x(n);
    for (uint32_t i = 0; i < n; ++i)
        x[i] = amp * (float)sin(2.0 * 3.14159265358979323846 * hz * i / fs);
    return x;
}
