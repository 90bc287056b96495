#include "params.h"

#include <math.h>

const ParameterDescriptor input_param_table[PARAM_INPUT_COUNT] = {
    {PARAM_CUTOFF, 0.0, 15.0, 15.0, PARAM_FLAG_INTEGER, 0.0},
    {PARAM_LFO_AMT, 0.0, 15.0, 0.0, PARAM_FLAG_INTEGER, 0.0},
    {PARAM_LFO_SPEED, 0.0, 15.0, 7.0, PARAM_FLAG_INTEGER, 0.0},
};

const ParameterDescriptor output_param_table[1] = {
    {PARAM_MOD_CUTOFF, 0.0, 255.0, 248.0, PARAM_FLAG_INTEGER, 0.0},
};

const ParameterNames param_names[PARAM_COUNT] = {
    {"cutoff", "Cutoff", "Cutoff", PARAM_ID_CUTOFF},
    {"lfo_amt", "LFO Amount", "LFO Amt", PARAM_ID_LFO_AMT},
    {"lfo_speed", "LFO Speed", "LFO Speed", PARAM_ID_LFO_SPEED},
    {"mod_cutoff", "Modulated Cutoff", "Mod Cutoff", PARAM_ID_MOD_CUTOFF},
};

const ParameterDescriptor* param_descriptor(int index) {
    if (index >= 0 && index < PARAM_INPUT_COUNT) return &input_param_table[index];
    if (index == PARAM_MOD_CUTOFF) return &output_param_table[0];
    return nullptr;
}

int param_index_of(uint32_t id) {
    for (int i = 0; i < PARAM_COUNT; ++i)
        if (param_names[i].id == id) return i;
    return -1;
}

double to_plain(int index, double normalized) {
    const ParameterDescriptor* d = param_descriptor(index);
    if (d->flags & PARAM_FLAG_EXPONENTIAL) return d->min * exp(normalized * d->exp_k);
    return d->min + (d->max - d->min) * normalized;
}

double to_normalized(int index, double plain) {
    const ParameterDescriptor* d = param_descriptor(index);
    if (d->flags & PARAM_FLAG_EXPONENTIAL) return log(plain / d->min) / d->exp_k;
    return (plain - d->min) / (d->max - d->min);
}

double quantize(int index, double plain) {
    const ParameterDescriptor* d = param_descriptor(index);
    if (plain != plain) return d->min;
    if (d->flags & (PARAM_FLAG_TOGGLE_A | PARAM_FLAG_TOGGLE_B)) {
        plain = plain >= 0.5 ? 1.0 : 0.0;
    } else if (d->flags & PARAM_FLAG_INTEGER) {
        plain = trunc(plain >= 0.0 ? plain + 0.5 : plain - 0.5);
    }
    if (plain < d->min) return d->min;
    if (plain > d->max) return d->max;
    return plain;
}
