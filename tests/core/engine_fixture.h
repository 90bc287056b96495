// Shared set-up for the engine suites: instances driven the way the wrappers drive them.
#pragma once

#include <stdint.h>

#include <vector>

#include "core/plugin_core.h"

uint32_t bits_of(float x);

// One parameter pass carrying a single host change of input `index` to plain `value`.
void set_params(PluginCore* core, int index, double value);

// A new instance at `fs` with the three inputs set, activated for the first time.
void start_instance(PluginCore* core, float fs, int cutoff, int lfo_amt, int lfo_speed);

// Runs a little audio, so that the LFO has stepped, and activates again.
void reactivate(PluginCore* core);

// Processes `in` in blocks whose sizes cycle through `blocks` (a zero size is a 0-sample call).
std::vector<float> render(PluginCore* core, const std::vector<float>& in,
                          const std::vector<uint32_t>& blocks);

// n samples of a sine at `hz` with amplitude `amp`, at sample rate `fs`.
std::vector<float> sine(float hz, float amp, float fs, uint32_t n);
