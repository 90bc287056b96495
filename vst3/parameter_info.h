// The VST3 description of each of the four parameters.
#pragma once

#include "vst3_types.h"

// [any thread] Fill the record of parameter `index` (0..3).
void fillParameterInfo(int index, ParameterInfo* info);
