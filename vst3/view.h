// The editor view (IPlugView) that the controller hands out for "editor": a counted object in
// the controller's view list that hosts an editor page while attached to a host window.
#pragma once

#include <stdint.h>

#include "vst3_interfaces.h"

struct Controller;
struct WebViewHost;

struct View {
    IPlugView plugView;
    // [UI thread] Plain count; 1 at creation, owned by whoever createView returned it to.
    int32_t refCount;
    // [UI thread] Set by setFrame, borrowed (no reference), not otherwise used.
    IPlugFrame* frame;
    // [UI thread] The open editor, owned by the view; null while not attached.
    WebViewHost* editor;
    // [UI thread] The creating controller, borrowed; null once that controller is gone.
    Controller* controller;
    // [UI thread] Timer of the UI thread that ticks the open editor; 0 while none runs.
    uintptr_t timerId;
};

// [UI thread] A new detached view of `controller` with count 1, or null when out of memory.
View* viewCreate(Controller* controller);

// [UI thread] Hand parameter `index` (0..3) with plain `value` to the view's editor, if open.
void viewSendValue(View* view, int index, float value);

// [UI thread] Let page edits that the view's editor has already queued reach the controller, so
// that a value the host sets afterwards is the one that stays.
void viewDeliverPageEdits(View* view);

// [UI thread] The controller is being destroyed: the view closes its editor, forgets the
// controller and stays alive for the host's own reference.
void viewDetach(View* view);
