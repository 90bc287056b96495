// Linux builds carry no editor: a view reports the default size and never attaches.
#include "view_editor.h"

tresult viewOpenEditor(View*, void*) {
    return kResultFalse;
}

void viewCloseEditor(View*) {}

bool viewEditorSize(const View*, int32_t*, int32_t*) {
    return false;
}

void viewResizeEditor(View*, int32_t, int32_t) {}

void viewSendValue(View*, int, float) {}

void viewDeliverPageEdits(View*) {}
