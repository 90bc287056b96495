// One plug-in instance driven as a host drives it: all six ports connected to buffers owned here.
#pragma once

#include <stddef.h>

#include <vector>

#include "test_host.h"

struct TestInstance {
    const LV2_Descriptor* descriptor;
    LV2_Handle handle;
    const LV2_State_Interface* state;
    float controls[3]; // the cutoff, lfo_amt and lfo_speed ports
    float mod_cutoff;  // the output control port
    std::vector<float> in;
    std::vector<float> out;
};

// Instantiates, connects every port (controls at their defaults) and activates; 0 or -1.
int test_instance_open(TestInstance* t, const LV2_Descriptor* d, double sample_rate,
                       const LV2_Feature* const* features, size_t max_block);
// Runs `count` samples from `in` to `out` (count <= max_block).
void test_instance_run(TestInstance* t, uint32_t count);
LV2_State_Status test_instance_save(TestInstance* t, TestStateStore* store);
LV2_State_Status test_instance_restore(TestInstance* t, TestStateStore* store);
void test_instance_close(TestInstance* t);

// The three parameter values and the format word inside a saved state blob; 0 or -1.
struct SavedState {
    float values[3];
    std::string format;
    float sample_rate;
};
int read_saved_state(const std::vector<uint8_t>& blob, SavedState* out);
