// The LV2 plug-in's run per sample, through the built binary's descriptor as a host calls it:
// 48 kHz, the LFO moving, several block sizes, plus the cost of a zero-length run.
#include <benchmark/benchmark.h>

#include "tests/lv2/test_instance.h"

namespace {

struct OpenedPlugin {
    PluginModule module{};
    TestHost host;
    TestInstance instance{};

    // [bench thread] Loads the binary and activates one instance with full LFO depth.
    bool open(size_t block) {
        if (plugin_module_open(&module, VELUM_LV2_BINARY_PATH) != 0) return false;
        test_host_init(&host, true, true);
        if (test_instance_open(&instance, module.lv2_descriptor(0), 48000.0, host.features,
                               block) != 0)
            return false;
        instance.controls[0] = 9.0f;
        instance.controls[1] = 15.0f;
        instance.controls[2] = 15.0f;
        uint32_t s = 12345u;
        for (float& x : instance.in) {
            s = s * 1664525u + 1013904223u;
            x = (float)(int32_t)s * (0.5f / 2147483648.0f);
        }
        return true;
    }

    ~OpenedPlugin() {
        test_instance_close(&instance);
        plugin_module_close(&module);
    }
};

void BM_lv2_run(benchmark::State& state) {
    const uint32_t block = (uint32_t)state.range(0);
    OpenedPlugin p;
    if (!p.open(block)) {
        state.SkipWithError("cannot open the LV2 binary");
        return;
    }
    for (auto _ : state) {
        test_instance_run(&p.instance, block);
        benchmark::DoNotOptimize(p.instance.out.data());
        benchmark::ClobberMemory();
    }
    state.counters["per_sample"] =
        benchmark::Counter((double)state.iterations() * block,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_lv2_run)->Arg(64)->Arg(512)->Arg(4096);

// The per-call work besides the engine: three port reads, the lock attempt, one port write.
void BM_lv2_run_zero_length(benchmark::State& state) {
    OpenedPlugin p;
    if (!p.open(1)) {
        state.SkipWithError("cannot open the LV2 binary");
        return;
    }
    for (auto _ : state) {
        test_instance_run(&p.instance, 0);
        benchmark::DoNotOptimize(p.instance.mod_cutoff);
    }
}
BENCHMARK(BM_lv2_run_zero_length);

} // namespace

BENCHMARK_MAIN();
