// Velum's four parameters: the descriptor table, their IDs and the value rules every path applies.
#pragma once

#include <stdint.h>

// Global parameter numbers; the same number is the editor page's slot.
enum ParamIndex {
    PARAM_CUTOFF = 0,
    PARAM_LFO_AMT = 1,
    PARAM_LFO_SPEED = 2,
    PARAM_MOD_CUTOFF = 3,
    PARAM_INPUT_COUNT = 3,
    PARAM_COUNT = 4,
};

enum ParamFlags {
    PARAM_FLAG_TOGGLE_A = 0x1,
    PARAM_FLAG_TOGGLE_B = 0x2,
    PARAM_FLAG_INTEGER = 0x4,
    PARAM_FLAG_EXPONENTIAL = 0x8,
};

struct ParameterDescriptor {
    uint64_t index;
    double min;
    double max;
    double def;
    uint32_t flags;
    double exp_k;
};

// What hosts and state files call each parameter.
struct ParameterNames {
    const char* key;
    const char* title;
    const char* short_title;
    uint32_t id;
};

constexpr uint32_t sdbm_param_id(const char* key) {
    uint32_t h = 0;
    for (; *key; ++key)
        h = (uint32_t)(unsigned char)*key + (h << 6) + (h << 16) - h;
    return h & 0x7FFFFFFFu;
}

constexpr uint32_t PARAM_ID_CUTOFF = sdbm_param_id("cutoff");
constexpr uint32_t PARAM_ID_LFO_AMT = sdbm_param_id("lfo_amt");
constexpr uint32_t PARAM_ID_LFO_SPEED = sdbm_param_id("lfo_speed");
constexpr uint32_t PARAM_ID_MOD_CUTOFF = sdbm_param_id("mod_cutoff");

extern const ParameterDescriptor input_param_table[PARAM_INPUT_COUNT];
extern const ParameterDescriptor output_param_table[1];
extern const ParameterNames param_names[PARAM_COUNT];

// [any thread] Descriptor of global parameter `index` (0..3); null for any other number.
const ParameterDescriptor* param_descriptor(int index);

// [any thread] Global parameter number for a host ID, or -1 when the ID is unknown.
int param_index_of(uint32_t id);

// [any thread] Normalized [0, 1] <-> plain value, in double precision and unclamped.
// `index` must be 0..3.
double to_plain(int index, double normalized);
double to_normalized(int index, double plain);

// [any thread] Snap a plain value onto the parameter's grid and range (halves away from zero).
// A NaN becomes the parameter's minimum so that no derived byte can leave its table.
double quantize(int index, double plain);
