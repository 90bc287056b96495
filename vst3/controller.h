// The edit controller: parameter descriptions, conversions and value strings, its own copy of
// the values, the host's component handler and the list of editor views.
#pragma once

#include "core/params.h"
#include "vst3_interfaces.h"

struct View;

struct Controller {
    // Interface members first, in this order; the object's address is its IEditController.
    IEditController editController;
    IMidiMapping midiMapping;
    IConnectionPoint connectionPoint;
    // [UI thread] Plain count shared by the three interfaces.
    int32_t refCount;
    // [UI thread] Borrowed from the host at initialize; null while not initialized.
    FUnknown* hostContext;
    // [UI thread] Plain values in the order cutoff, lfo_amt, lfo_speed, mod_cutoff.
    double values[PARAM_COUNT];
    // [UI thread] Held with a reference; null when the host gave none.
    IComponentHandler* componentHandler;
    // [UI thread] Heap array of viewCount slots (null slots are free), owned by the controller;
    // the views themselves are counted objects.
    View** views;
    uint64_t viewCount;
};

// [UI thread] A new controller (count 1, not initialized) owned by the caller, or null.
IEditController* createController();

// [UI thread] Store the plain value of parameter `index` and send it to every open editor.
void controllerStoreValue(Controller* c, int index, double plain);
