// One plug-in state saved as a blob and a blob checked and applied through the owner's hooks.
#include <math.h>
#include <string.h>

#include "state/state_document.h"

static const char plugin_id[] = "tamber-velum";
static const char platform_word[] = "windows";
static const char* const parameter_keys[3] = {"cutoff", "lfo_amt", "lfo_speed"};

static int insert_text(KeyValueMap* map, const char* key, const char* text) {
    return kv_map_insert(map, key, strlen(key), text, strlen(text));
}

static int insert_bytes(KeyValueMap* map, const char* key, const void* value, uint64_t size) {
    return kv_map_insert(map, key, strlen(key), value, size);
}

uint8_t* build_state_blob(const char* format, float sample_rate, const float values[3],
                          size_t* out_size) {
    // The document borrows these, the arguments and the texts until it is written.
    const int32_t version[4] = {1, 2, 3, 1}; // major, minor, revision, build
    StateDocument doc;
    if (state_document_init(&doc) != 0) return nullptr;
    bool filled = insert_text(doc.info, "id", plugin_id) == 0 &&
                  insert_bytes(doc.info, "version_major", &version[0], 4) == 0 &&
                  insert_bytes(doc.info, "version_minor", &version[1], 4) == 0 &&
                  insert_bytes(doc.info, "version_revision", &version[2], 4) == 0 &&
                  insert_bytes(doc.info, "version_build", &version[3], 4) == 0 &&
                  insert_text(doc.info, "format", format) == 0 &&
                  insert_text(doc.info, "platform", platform_word) == 0 &&
                  insert_bytes(doc.info, "sample_rate", &sample_rate, 4) == 0;
    for (int i = 0; i < 3 && filled; ++i)
        filled = insert_bytes(doc.parameters, parameter_keys[i], &values[i], 4) == 0;
    uint8_t* blob = filled ? state_document_write(&doc, out_size) : nullptr;
    state_document_free(&doc);
    return blob;
}

// The three stored values, each exactly one float that is not a NaN; false otherwise.
static bool read_values(const KeyValueMap* parameters, float values[3]) {
    for (int i = 0; i < 3; ++i) {
        uint64_t size = 0;
        const uint8_t* bytes =
            kv_map_find(parameters, parameter_keys[i], strlen(parameter_keys[i]), &size);
        if (!bytes || size != sizeof(float)) return false;
        memcpy(&values[i], bytes, sizeof(float));
        if (isnan(values[i])) return false;
    }
    return true;
}

static bool is_own_state(const KeyValueMap* info) {
    uint64_t size = 0;
    const uint8_t* id = kv_map_find(info, "id", 2, &size);
    return id && size == strlen(plugin_id) && memcmp(id, plugin_id, size) == 0;
}

int restore_state_blob(const StateRestoreHooks* hooks, const uint8_t* bytes, size_t size) {
    StateDocument doc;
    if (state_document_read(&doc, bytes, size) != 0) return -1;
    float values[3];
    bool accepted = is_own_state(doc.info) && read_values(doc.parameters, values);
    state_document_free(&doc);
    if (!accepted) return -1;
    hooks->lock(hooks->owner);
    for (int i = 0; i < 3; ++i)
        hooks->set_value(hooks->owner, i, values[i]);
    hooks->unlock(hooks->owner);
    return 0;
}
