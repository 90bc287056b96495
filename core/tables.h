// The engine's three constant tables: LFO rates, LFO waves and the cutoff curve.
#pragma once

#include <stdint.h>

enum {
    LFO_RATE_COUNT = 16,
    LFO_DEPTH_COUNT = 16,
    LFO_PHASE_COUNT = 256,
    CUTOFF_INDEX_COUNT = 256,
};

// Phase increment per LFO step, by rate byte.
extern const uint8_t lfo_rate_table[LFO_RATE_COUNT];

// row[depth][phase] = 127 * (depth / 15) * sin(2*pi*(phase + 1) / 256), rounded.
struct LfoWaveTable {
    int8_t row[LFO_DEPTH_COUNT][LFO_PHASE_COUNT];
};
extern const LfoWaveTable lfo_wave_table;

// Cutoff curve by modulated index; multiplied by CUTOFF_CURVE_HZ it gives hertz.
extern const uint16_t cutoff_curve_table[CUTOFF_INDEX_COUNT];
constexpr float CUTOFF_CURVE_HZ = 6.430967f;
