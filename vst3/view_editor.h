// What the view needs from its platform's editor: open it in a host window, close it, measure and
// resize it. Windows builds embed the web editor; Linux builds have none.
#pragma once

#include <stdint.h>

#include "view.h"

// [UI thread] Opens the editor inside the host window `parent` (borrowed while attached) and
// fills it with the controller's values: kResultOk, or kResultFalse with the view left detached.
tresult viewOpenEditor(View* view, void* parent);

// [UI thread] Stops the view's timer and closes its editor; nothing when none is open.
void viewCloseEditor(View* view);

// [UI thread] The open editor window's size; false when it cannot be read.
bool viewEditorSize(const View* view, int32_t* width, int32_t* height);

// [UI thread] Resizes the open editor window, keeping its position.
void viewResizeEditor(View* view, int32_t width, int32_t height);
