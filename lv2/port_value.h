// How a float from an LV2 control port or an LV2 state becomes a plain parameter value.
#pragma once

#include <math.h>

#include "core/params.h"

// [any thread] Round half away from zero in single precision, then clamp to the input's range;
// a NaN gives the minimum. `index` is an input parameter (0..2).
inline float round_port_value(int index, float v) {
    const ParameterDescriptor* d = &input_param_table[index];
    float whole = truncf(v >= 0.0f ? v + 0.5f : v - 0.5f);
    // Also catches NaN and -0, so that no negative zero reaches a saved state.
    if (!(whole > (float)d->min)) return (float)d->min;
    if (whole > (float)d->max) return (float)d->max;
    return whole;
}
