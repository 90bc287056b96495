// Time of saving one state (building the blob) and of restoring one (reading and applying it).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include "state/state_document.h"

static void BM_SaveState(benchmark::State& state) {
    const float values[3] = {15, 0, 7};
    for (auto _ : state) {
        size_t size = 0;
        uint8_t* blob = build_state_blob("vst3", 48000, values, &size);
        benchmark::DoNotOptimize(blob);
        free(blob);
    }
}
BENCHMARK(BM_SaveState)->Unit(benchmark::kMicrosecond);

static void store_value(void* owner, int index, float value) {
    ((float*)owner)[index] = value;
}
static void no_lock(void*) {}

static void BM_RestoreState(benchmark::State& state) {
    const float values[3] = {3, 14, 9};
    size_t size = 0;
    uint8_t* blob = build_state_blob("lv2", 44100, values, &size);
    float restored[3] = {0, 0, 0};
    StateRestoreHooks hooks = {restored, no_lock, no_lock, store_value};
    for (auto _ : state) {
        if (restore_state_blob(&hooks, blob, size) != 0) state.SkipWithError("state refused");
        benchmark::DoNotOptimize(restored);
    }
    free(blob);
}
BENCHMARK(BM_RestoreState)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
