#include "test_host.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

static LV2_URID map_uri(LV2_URID_Map_Handle handle, const char* uri) {
    return test_urid((TestUridMap*)handle, uri);
}

static const char* unmap_urid(LV2_URID_Unmap_Handle handle, LV2_URID urid) {
    TestUridMap* m = (TestUridMap*)handle;
    if (urid == 0 || urid > m->uris.size()) return nullptr;
    return m->uris[urid - 1].c_str();
}

void test_urid_map_init(TestUridMap* m) {
    m->uris.clear();
    m->map = {m, map_uri};
    m->unmap = {m, unmap_urid};
}

LV2_URID test_urid(TestUridMap* m, const char* uri) {
    for (size_t i = 0; i < m->uris.size(); ++i)
        if (m->uris[i] == uri) return (LV2_URID)(i + 1);
    m->uris.push_back(uri);
    return (LV2_URID)m->uris.size();
}

static int log_vprintf(LV2_Log_Handle handle, LV2_URID type, const char* fmt, va_list ap) {
    char text[1024];
    int n = vsnprintf(text, sizeof text, fmt, ap);
    ((TestLog*)handle)->messages.push_back({type, text});
    return n;
}

static int log_printf(LV2_Log_Handle handle, LV2_URID type, const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    int n = log_vprintf(handle, type, fmt, ap);
    va_end(ap);
    return n;
}

void test_log_init(TestLog* l) {
    l->messages.clear();
    l->log = {l, log_printf, log_vprintf};
}

void test_host_init(TestHost* h, bool with_map, bool with_log) {
    test_urid_map_init(&h->urids);
    test_log_init(&h->log);
    h->map_feature = {LV2_URID__map, &h->urids.map};
    h->unmap_feature = {LV2_URID__unmap, &h->urids.unmap};
    h->log_feature = {LV2_LOG__log, &h->log.log};
    int n = 0;
    if (with_map) {
        h->features[n++] = &h->map_feature;
        h->features[n++] = &h->unmap_feature;
    }
    if (with_log) h->features[n++] = &h->log_feature;
    h->features[n] = nullptr;
}

LV2_State_Status test_state_store(LV2_State_Handle handle, uint32_t key, const void* value,
                                  size_t size, uint32_t type, uint32_t flags) {
    TestStateStore* s = (TestStateStore*)handle;
    ++s->store_calls;
    const uint8_t* bytes = (const uint8_t*)value;
    s->properties.push_back({key, std::vector<uint8_t>(bytes, bytes + size), type, flags});
    return s->store_result;
}

const void* test_state_retrieve(LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type,
                                uint32_t* flags) {
    TestStateStore* s = (TestStateStore*)handle;
    ++s->retrieve_calls;
    for (const StoredProperty& p : s->properties) {
        if (p.key != key) continue;
        *size = p.value.size();
        *type = p.type;
        *flags = p.flags;
        return p.value.data();
    }
    return nullptr;
}

int plugin_module_open(PluginModule* m, const char* path) {
#ifdef _WIN32
    HMODULE library = LoadLibraryA(path);
    m->library = library;
    if (!library) return -1;
    m->lv2_descriptor =
        (const LV2_Descriptor* (*)(uint32_t))(void*)GetProcAddress(library, "lv2_descriptor");
#else
    m->library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (!m->library) return -1;
    m->lv2_descriptor = (const LV2_Descriptor* (*)(uint32_t))dlsym(m->library, "lv2_descriptor");
#endif
    if (m->lv2_descriptor) return 0;
    plugin_module_close(m);
    return -1;
}

void plugin_module_close(PluginModule* m) {
    if (!m->library) return;
#ifdef _WIN32
    FreeLibrary((HMODULE)m->library);
#else
    dlclose(m->library);
#endif
    m->library = nullptr;
}
