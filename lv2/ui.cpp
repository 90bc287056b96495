// The LV2 UI (Windows): the web editor in the host's parent window, showing the control ports and
// writing the page's edits back through the host, bracketed by touch when the host offers it.
#include <stdlib.h>
#include <string.h>

#include <lv2/ui/ui.h>

#include "editor/webview_host.h"
#include "instance.h"
#include "port_value.h"
#include "uris.h"

static const int32_t editor_width = 800;
static const int32_t editor_height = 600;

// The port behind each page slot (the slot is the parameter's index).
static const uint32_t slot_ports[PARAM_COUNT] = {
    PORT_CUTOFF,
    PORT_LFO_AMT,
    PORT_LFO_SPEED,
    PORT_MOD_CUTOFF,
};

// Owned by the host from instantiate to cleanup.
struct Lv2Ui {
    WebViewHost* editor;         // the open editor, owned
    char* bundle_path;           // own copy, without trailing separators
    LV2UI_Write_Function write;  // the host's; called on the UI thread only
    LV2UI_Controller controller; // the host's, passed back to write
    bool has_touch;
    LV2UI_Touch touch; // copy of the host's touch feature
};

// The page's and the host's values alike become whole numbers in 0..15; the output slot keeps
// the inputs' limits.
static float port_value_of_slot(uint32_t slot, float value) {
    return round_port_value(slot < PARAM_INPUT_COUNT ? (int)slot : PARAM_CUTOFF, value);
}

enum EditStep { EDIT_BEGIN, EDIT_PERFORM, EDIT_END };

// [UI thread, from the editor's relay] One step of a page gesture as touch and port writes.
template <EditStep step>
static void page_edit(void* user_data, uint32_t slot, float value) {
    Lv2Ui* ui = (Lv2Ui*)user_data;
    if (slot >= PARAM_COUNT) return;
    const uint32_t port = slot_ports[slot];
    const float v = port_value_of_slot(slot, value);
    if (step == EDIT_BEGIN && ui->has_touch) ui->touch.touch(ui->touch.handle, port, true);
    ui->write(ui->controller, port, sizeof v, 0, &v);
    if (step == EDIT_END && ui->has_touch) ui->touch.touch(ui->touch.handle, port, false);
}

// Both "WebView2Loader.dll" and "index.html" lie directly in the bundle folder.
static const char* bundle_folder(void* user_data) {
    return ((Lv2Ui*)user_data)->bundle_path;
}

// The host's path ends with a separator; the editor adds its own before each file name.
static char* folder_copy(const char* path) {
    size_t length = strlen(path);
    while (length > 0 && (path[length - 1] == '\\' || path[length - 1] == '/'))
        --length;
    char* copy = (char*)malloc(length + 1);
    if (!copy) return nullptr;
    memcpy(copy, path, length);
    copy[length] = 0;
    return copy;
}

// [UI thread] Opens the editor inside the host's parent window (or a top-level window without
// one); null with a null widget on any failure. Features and strings stay the host's.
static LV2UI_Handle instantiate(const LV2UI_Descriptor*, const char*, const char* bundle_path,
                                LV2UI_Write_Function write_function, LV2UI_Controller controller,
                                LV2UI_Widget* widget, const LV2_Feature* const* features) {
    *widget = nullptr;
    Lv2Ui* ui = (Lv2Ui*)calloc(1, sizeof(Lv2Ui));
    if (!ui) return nullptr;
    ui->bundle_path = bundle_path ? folder_copy(bundle_path) : nullptr;
    if (!ui->bundle_path) {
        free(ui);
        return nullptr;
    }
    bool child_mode = false;
    HWND parent = nullptr;
    for (const LV2_Feature* const* f = features; f && *f; ++f) {
        if (strcmp((*f)->URI, LV2_UI__parent) == 0) {
            parent = (HWND)(*f)->data;
            child_mode = true;
        } else if (strcmp((*f)->URI, LV2_UI__touch) == 0 && (*f)->data) {
            ui->has_touch = true;
            ui->touch = *(const LV2UI_Touch*)(*f)->data;
        }
    }
    ui->write = write_function;
    ui->controller = controller;
    const WebViewHostConfig config = {ui,
                                      "lv2",
                                      bundle_folder,
                                      bundle_folder,
                                      page_edit<EDIT_BEGIN>,
                                      page_edit<EDIT_PERFORM>,
                                      page_edit<EDIT_END>};
    ui->editor =
        create(child_mode, parent, &config, nullptr, editor_width, editor_height, PARAM_COUNT);
    if (!ui->editor) {
        free(ui->bundle_path);
        free(ui);
        return nullptr;
    }
    *widget = (LV2UI_Widget)ui->editor->editorWindow;
    return ui;
}

// [UI thread] Closes the editor and frees the instance.
static void cleanup(LV2UI_Handle handle) {
    Lv2Ui* ui = (Lv2Ui*)handle;
    destroy(ui->editor);
    free(ui->bundle_path);
    free(ui);
}

// [UI thread] A control port's value for the page; buffer is the host's float.
static void port_event(LV2UI_Handle handle, uint32_t port, uint32_t, uint32_t, const void* buffer) {
    Lv2Ui* ui = (Lv2Ui*)handle;
    if (!buffer) return;
    const float value = *(const float*)buffer;
    if (port == PORT_MOD_CUTOFF)
        setParameterValue(ui->editor, PARAM_MOD_CUTOFF, value);
    else if (port >= PORT_CUTOFF && port <= PORT_LFO_SPEED)
        setParameterValue(ui->editor, port - PORT_CUTOFF,
                          port_value_of_slot(port - PORT_CUTOFF, value));
}

// [UI thread] The editor runs on its own thread: nothing to do, and never a request to close.
static int idle(LV2UI_Handle handle) {
    idle(((Lv2Ui*)handle)->editor);
    return 0;
}

static const LV2UI_Idle_Interface idle_interface = {idle};

// [any thread] The idle interface; null for every other extension.
static const void* extension_data(const char* uri) {
    if (uri && strcmp(uri, LV2_UI__idleInterface) == 0) return &idle_interface;
    return nullptr;
}

static const LV2UI_Descriptor descriptor = {
    VELUM_LV2_URI "#ui", instantiate, cleanup, port_event, extension_data,
};

// [any thread] The binary's only UI is number 0.
LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
    return index == 0 ? &descriptor : nullptr;
}
