#include "view.h"

#include <stdlib.h>
#include <string.h>

#include "com_object.h"
#include "controller.h"
#include "uids.h"

static const int32_t defaultWidth = 800;
static const int32_t defaultHeight = 600;

static View* self(IPlugView* iface) {
    return objectOf<View, offsetof(View, plugView)>(iface);
}

// --- FUnknown (UI thread) ---

static tresult objectQueryInterface(View* v, const char* iid, void** obj) {
    if (!obj) return kInvalidArgument;
    if (uidEqual(iid, FUnknown_iid) || uidEqual(iid, IPlugView_iid)) {
        *obj = &v->plugView;
        ++v->refCount;
        return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
}

static uint32_t objectAddRef(View* v) {
    return (uint32_t)++v->refCount;
}

// The last release takes the view out of its controller's list (when the controller still
// exists) and frees it.
static uint32_t objectRelease(View* v) {
    const int32_t count = --v->refCount;
    if (count != 0) return (uint32_t)count;
    Controller* c = v->controller;
    for (uint64_t i = 0; c && i < c->viewCount; ++i)
        if (c->views[i] == v) c->views[i] = nullptr;
    free(v);
    return 0;
}

// --- IPlugView (UI thread) ---

static tresult isPlatformTypeSupported(IPlugView*, FIDString type) {
    return type && strcmp(type, "HWND") == 0 ? kResultTrue : kResultFalse;
}

// parent is the host's window, borrowed while attached.
static tresult attached(IPlugView* iface, void*, FIDString type) {
    View* v = self(iface);
    if (!type || strcmp(type, "HWND") != 0 || v->editor) return kInvalidArgument;
    // No editor host can be opened in this build: the view stays detached.
    return kResultFalse;
}

static tresult removed(IPlugView*) {
    return kResultOk;
}

static tresult onWheel(IPlugView*, float) {
    return kResultFalse;
}
static tresult onKey(IPlugView*, char16_t, int16_t, int16_t) {
    return kResultFalse;
}
static tresult onFocus(IPlugView*, TBool) {
    return kResultFalse;
}

static tresult getSize(IPlugView*, ViewRect* rect) {
    if (!rect) return kInvalidArgument;
    rect->left = 0;
    rect->top = 0;
    rect->right = defaultWidth;
    rect->bottom = defaultHeight;
    return kResultOk;
}

static tresult onSize(IPlugView* iface, ViewRect*) {
    return self(iface)->editor ? kResultOk : kResultFalse;
}

static tresult setFrame(IPlugView* iface, IPlugFrame* frame) {
    self(iface)->frame = frame;
    return kResultOk;
}

static tresult canResize(IPlugView*) {
    return kResultTrue;
}
static tresult checkSizeConstraint(IPlugView*, ViewRect*) {
    return kResultTrue;
}

static constexpr IPlugViewVtbl plugViewVtbl = {
    UnknownSlots<View, offsetof(View, plugView), IPlugView>::table,
    isPlatformTypeSupported,
    attached,
    removed,
    onWheel,
    onKey,
    onKey,
    getSize,
    onSize,
    onFocus,
    setFrame,
    canResize,
    checkSizeConstraint,
};

View* viewCreate(Controller* controller) {
    View* v = (View*)calloc(1, sizeof(View));
    if (!v) return nullptr;
    v->plugView.vtbl = &plugViewVtbl;
    v->refCount = 1;
    v->controller = controller;
    return v;
}

void viewSendValue(View* view, int, float) {
    // Only an attached view has an editor page to receive values.
    if (!view->editor) return;
}

void viewDetach(View* view) {
    view->controller = nullptr;
}
