// Host-side IParameterChanges / IParamValueQueue with fixed room, so that a block allocates
// nothing on the host side either.
#pragma once

#include <stdint.h>

#include "vst3/vst3_interfaces.h"

enum { kQueueRoom = 16, kPointRoom = 16 };

struct ParamQueue {
    IParamValueQueue queue;
    ParamID id;
    int32_t count;
    int32_t offsets[kPointRoom];
    double values[kPointRoom];
};

struct ParameterChanges {
    IParameterChanges changes;
    int32_t count;
    ParamQueue queues[kQueueRoom];
    // getParameterData answers null for this queue index (-1: never).
    int32_t nullQueueAt;

    ParameterChanges();
    IParameterChanges* get() { return &changes; }
    // Add a point (host order: offsets ascending per queue); opens the ID's queue if needed.
    void add(ParamID id, int32_t offset, double value);
    // An empty queue for `id`.
    void addEmptyQueue(ParamID id);
    void clear() { count = 0; }
    // The queue the plug-in wrote for `id`, or null.
    const ParamQueue* find(ParamID id) const;
};
