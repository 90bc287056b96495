// The host side of LV2 for the tests: URID map, captured log, an in-memory state store and the
// plug-in module opened the way a host opens it.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include <lv2/core/lv2.h>
#include <lv2/log/log.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

// URID map and unmap over a growing table; URID n is uris[n - 1]. Owned by the test.
struct TestUridMap {
    std::vector<std::string> uris;
    LV2_URID_Map map;
    LV2_URID_Unmap unmap;
};
void test_urid_map_init(TestUridMap* m);
LV2_URID test_urid(TestUridMap* m, const char* uri);

// One message the plug-in logged, with the URID of its type.
struct LoggedMessage {
    LV2_URID type;
    std::string text;
};

// Log feature that records every message.
struct TestLog {
    std::vector<LoggedMessage> messages;
    LV2_Log_Log log;
};
void test_log_init(TestLog* l);

// The features a host offers: the URID map and the log, each optional. Owned by the test.
struct TestHost {
    TestUridMap urids;
    TestLog log;
    LV2_Feature map_feature;
    LV2_Feature unmap_feature;
    LV2_Feature log_feature;
    const LV2_Feature* features[4];
};
void test_host_init(TestHost* h, bool with_map, bool with_log);

// A property as the host keeps it after a save.
struct StoredProperty {
    uint32_t key;
    std::vector<uint8_t> value;
    uint32_t type;
    uint32_t flags;
};

// The state handle for save and restore: records stores, serves retrieves.
struct TestStateStore {
    std::vector<StoredProperty> properties;
    LV2_State_Status store_result = LV2_STATE_SUCCESS; // what the store function answers
    int store_calls = 0;
    int retrieve_calls = 0;
};
LV2_State_Status test_state_store(LV2_State_Handle handle, uint32_t key, const void* value,
                                  size_t size, uint32_t type, uint32_t flags);
// Null when no property with `key` was stored.
const void* test_state_retrieve(LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type,
                                uint32_t* flags);

// The plug-in binary, opened with the platform's loader and looked up by its export.
struct PluginModule {
    void* library;
    const LV2_Descriptor* (*lv2_descriptor)(uint32_t index);
};
// 0, or -1 when the file cannot be loaded or does not export lv2_descriptor.
int plugin_module_open(PluginModule* m, const char* path);
void plugin_module_close(PluginModule* m);
