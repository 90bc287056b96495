// A host's IComponentHandler that records the edit gestures it receives, and a host context.
#pragma once

#include <stdint.h>

#include <vector>

#include "vst3/vst3_interfaces.h"

struct HandlerCall {
    enum Kind { Begin, Perform, End, Restart } kind;
    ParamID id;
    double value; // performEdit's normalized value; restartComponent's flags
};

struct RecordingHandler {
    IComponentHandler handler;
    int32_t refCount = 1;
    std::vector<HandlerCall> calls;

    RecordingHandler();
    IComponentHandler* get() { return &handler; }
};

// The FUnknown a host passes to initialize: answers no interface, counts nothing.
FUnknown* hostContext();
