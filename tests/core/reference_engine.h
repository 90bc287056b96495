// The engine's block processing in its literal per-sample order, every coefficient recomputed for
// every sample: the yardstick the fast engine must match bit for bit.
#pragma once

#include <stdint.h>

#include "core/plugin_core.h"

// [test thread] Same contract as engine_process.
void reference_engine_process(PluginCore* core, const float* in, float* out, uint32_t count);
