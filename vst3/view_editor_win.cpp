// The Windows editor of a view: the web editor embedded in the host's window, ticked by a timer of
// the host's UI thread, with the page's edits turned into the host's edit gestures.
#include <windows.h>

#include "controller.h"
#include "editor/relay.h"
#include "editor/webview_host.h"
#include "module_paths.h"
#include "view_editor.h"

static const int32_t editorWidth = 800;
static const int32_t editorHeight = 600;
static const UINT tickMilliseconds = 20;

enum EditStep { EDIT_BEGIN, EDIT_PERFORM, EDIT_END };

// [UI thread, from the editor's relay] Rounds and clamps the page's value, stores it in the
// controller and reports it to the host's component handler.
template <EditStep step>
static void pageEdit(void* userData, uint32_t slot, float value) {
    Controller* c = ((View*)userData)->controller;
    if (!c || slot >= PARAM_COUNT) return;
    const int index = (int)slot;
    const double plain = quantize(index, (double)value);
    c->values[index] = plain;
    IComponentHandler* handler = c->componentHandler;
    if (!handler) return;
    const ParamID id = param_names[index].id;
    const ParamValue normalized = to_normalized(index, plain);
    // The host may drop its handler (or the controller) from inside these calls.
    handler->vtbl->unknown.addRef(handler);
    if (step == EDIT_BEGIN) handler->vtbl->beginEdit(handler, id);
    handler->vtbl->performEdit(handler, id, normalized);
    if (step == EDIT_END) handler->vtbl->endEdit(handler, id);
    handler->vtbl->unknown.release(handler);
}

// [UI thread, during create] The module's own folders, owned by the module.
static const char* loaderFolder(void*) {
    return moduleDirectory();
}
static const char* pageFolder(void*) {
    return resourcesDirectory();
}

// [UI thread] The tick runs on the relay window, which the UI thread owns (a thread may only set
// timers on its own windows); the editor is found through that window, never through the view.
static void CALLBACK editorTick(HWND window, UINT, UINT_PTR, DWORD) {
    WebViewHost* host = (WebViewHost*)GetWindowLongPtrA(window, 0);
    if (host) idle(host);
}

tresult viewOpenEditor(View* view, void* parent) {
    if (!moduleDirectory() || !resourcesDirectory()) return kResultFalse;
    const WebViewHostConfig config = {view,
                                      "vst3",
                                      loaderFolder,
                                      pageFolder,
                                      pageEdit<EDIT_BEGIN>,
                                      pageEdit<EDIT_PERFORM>,
                                      pageEdit<EDIT_END>};
    WebViewHost* editor =
        create(true, (HWND)parent, &config, nullptr, editorWidth, editorHeight, PARAM_COUNT);
    if (!editor) return kResultFalse;
    const UINT_PTR timer =
        SetTimer(editor->relayWindow, (UINT_PTR)view, tickMilliseconds, editorTick);
    if (timer == 0) {
        destroy(editor);
        return kResultFalse;
    }
    view->editor = editor;
    view->timerId = timer;
    for (int i = 0; i < PARAM_COUNT; ++i)
        setParameterValue(editor, (uint32_t)i, (float)view->controller->values[i]);
    return kResultOk;
}

void viewCloseEditor(View* view) {
    WebViewHost* editor = view->editor;
    if (!editor) return;
    // A relay window destroyed with the host's window took its timer along.
    if (editor->relayWindow) KillTimer(editor->relayWindow, view->timerId);
    view->timerId = 0;
    // Cleared first: nothing reached from destroy may hand this editor a value.
    view->editor = nullptr;
    destroy(editor);
}

bool viewEditorSize(const View* view, int32_t* width, int32_t* height) {
    RECT r;
    if (!GetWindowRect(view->editor->editorWindow, &r)) return false;
    *width = r.right - r.left;
    *height = r.bottom - r.top;
    return true;
}

void viewResizeEditor(View* view, int32_t width, int32_t height) {
    SetWindowPos(view->editor->editorWindow, nullptr, 0, 0, width, height,
                 SWP_NOOWNERZORDER | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE);
}

void viewSendValue(View* view, int index, float value) {
    if (view->editor) setParameterValue(view->editor, (uint32_t)index, value);
}

void viewDeliverPageEdits(View* view) {
    if (view->editor) drainRelayWindow(view->editor);
}
