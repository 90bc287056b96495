#include "view.h"

#include <stdlib.h>
#include <string.h>

#include "com_object.h"
#include "controller.h"
#include "uids.h"
#include "view_editor.h"

static const int32_t defaultWidth = 800;
static const int32_t defaultHeight = 600;

static View* self(IPlugView* iface) {
    return objectOf<View, offsetof(View, plugView)>(iface);
}

static bool isHwnd(FIDString type) {
    return type && strcmp(type, "HWND") == 0;
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

// The last release closes an editor still open, takes the view out of its controller's list
// (when the controller still exists) and frees it.
static uint32_t objectRelease(View* v) {
    const int32_t count = --v->refCount;
    if (count != 0) return (uint32_t)count;
    viewCloseEditor(v);
    Controller* c = v->controller;
    for (uint64_t i = 0; c && i < c->viewCount; ++i)
        if (c->views[i] == v) c->views[i] = nullptr;
    free(v);
    return 0;
}

// --- IPlugView (UI thread) ---

static tresult isPlatformTypeSupported(IPlugView*, FIDString type) {
    return isHwnd(type) ? kResultTrue : kResultFalse;
}

// parent is the host's window, borrowed until removed. A view whose controller is gone has no
// values to show and nowhere to send edits: it stays detached.
static tresult attached(IPlugView* iface, void* parent, FIDString type) {
    View* v = self(iface);
    if (!isHwnd(type) || v->editor) return kInvalidArgument;
    if (!v->controller) return kResultFalse;
    return viewOpenEditor(v, parent);
}

static tresult removed(IPlugView* iface) {
    viewCloseEditor(self(iface));
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

// The open editor's size when it has an area, the default size otherwise.
static tresult getSize(IPlugView* iface, ViewRect* rect) {
    if (!rect) return kInvalidArgument;
    View* v = self(iface);
    int32_t width = 0;
    int32_t height = 0;
    if (!v->editor || !viewEditorSize(v, &width, &height) || width <= 0 || height <= 0) {
        width = defaultWidth;
        height = defaultHeight;
    }
    rect->left = 0;
    rect->top = 0;
    rect->right = width;
    rect->bottom = height;
    return kResultOk;
}

// newSize is the host's, read during the call.
static tresult onSize(IPlugView* iface, ViewRect* newSize) {
    View* v = self(iface);
    if (!v->editor) return kResultFalse;
    if (!newSize) return kInvalidArgument;
    viewResizeEditor(v, newSize->right - newSize->left, newSize->bottom - newSize->top);
    return kResultOk;
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

void viewDetach(View* view) {
    viewCloseEditor(view);
    view->controller = nullptr;
}
