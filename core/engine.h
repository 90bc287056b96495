// The filter and LFO engine: Velum's sound. Runs on the host's audio thread; allocates nothing,
// takes no lock and makes no system call.
#pragma once

#include <stdint.h>

#include "plugin_core.h"

// [host thread, at activation] Rebuild every coefficient from setup_fs and clear every memory;
// keeps cutoff_reg.
void engine_reset(PluginCore* core);

// [host thread] Leave the active state; touches nothing but active_fs.
void engine_deactivate(PluginCore* core);

// [audio thread] Process `count` mono samples; `in` and `out` may be the same buffer. The caller
// has run the block's first parameter pass and switched on flush-to-zero/denormals-are-zero.
void engine_process(PluginCore* core, const float* in, float* out, uint32_t count);
