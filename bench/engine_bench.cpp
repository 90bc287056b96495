// engine_process at 48 kHz in 512-sample blocks with the LFO moving, against two yardsticks: the
// literal per-sample order and the bare band-pass recurrence with fixed coefficients.
#include <benchmark/benchmark.h>

#include "core/engine.h"
#include "platform/platform.h"
#include "tests/core/reference_engine.h"

namespace {

constexpr uint32_t BLOCK = 512;
constexpr float FS = 48000.0f;

struct BenchSignal {
    float in[BLOCK];
    float out[BLOCK];
};

void fill_noise(float* x, uint32_t n) {
    uint32_t s = 12345u;
    for (uint32_t i = 0; i < n; ++i) {
        s = s * 1664525u + 1013904223u;
        x[i] = (float)(int32_t)s * (0.5f / 2147483648.0f);
    }
}

// An activated instance with full LFO depth at the fastest rate, after one second of audio.
void start_moving_lfo(PluginCore* core, BenchSignal* sig) {
    plugin_core_init(core, FS);
    begin_block(core);
    apply_input(core, PARAM_CUTOFF, 9.0);
    apply_input(core, PARAM_LFO_AMT, 15.0);
    apply_input(core, PARAM_LFO_SPEED, 15.0);
    end_block(core);
    engine_reset(core);
    fill_noise(sig->in, BLOCK);
    for (int i = 0; i < 94; ++i)
        engine_process(core, sig->in, sig->out, BLOCK);
    engine_reset(core);
}

void report_per_sample(benchmark::State& state) {
    state.counters["per_sample"] =
        benchmark::Counter((double)state.iterations() * BLOCK,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

using ProcessFunction = void (*)(PluginCore*, const float*, float*, uint32_t);

// The engine, or the literal per-sample order, on the audio thread's floating-point modes.
void BM_process(benchmark::State& state, ProcessFunction process) {
    static PluginCore core;
    static BenchSignal sig;
    start_moving_lfo(&core, &sig);
    unsigned saved = fp_mode_enter();
    for (auto _ : state) {
        process(&core, sig.in, sig.out, BLOCK);
        benchmark::DoNotOptimize(sig.out);
        benchmark::ClobberMemory();
    }
    fp_mode_leave(saved);
    report_per_sample(state);
}

// The physical floor: one sample's band-pass memories feed the next through the serial chain.
void BM_bare_svf_recurrence(benchmark::State& state) {
    static BenchSignal sig;
    fill_noise(sig.in, BLOCK);
    float g = 0.1357f, kg = 0.5066f, d = 0.9361f, kk = 0.1357f;
    float hp1 = 0.0f, bp1 = 0.0f, lp1 = 0.0f;
    unsigned saved = fp_mode_enter();
    for (auto _ : state) {
        for (uint32_t i = 0; i < BLOCK; ++i) {
            float lp_x = kk * bp1 + lp1;
            float bp_x = kk * hp1 + bp1;
            float hp = ((sig.in[i] * 0.92871904f - kg * bp_x) - lp_x) * d;
            float bp = g * hp + bp_x;
            lp1 = g * bp + lp_x;
            hp1 = hp;
            bp1 = bp;
            sig.out[i] = -bp;
        }
        benchmark::DoNotOptimize(sig.out);
        benchmark::ClobberMemory();
    }
    fp_mode_leave(saved);
    report_per_sample(state);
}

} // namespace

BENCHMARK_CAPTURE(BM_process, engine_process, engine_process);
BENCHMARK_CAPTURE(BM_process, literal_per_sample_order, reference_engine_process);
BENCHMARK(BM_bare_svf_recurrence);

BENCHMARK_MAIN();
