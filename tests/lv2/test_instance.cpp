#include "test_instance.h"

#include <string.h>

#include "state/state_document.h"

int test_instance_open(TestInstance* t, const LV2_Descriptor* d, double sample_rate,
                       const LV2_Feature* const* features, size_t max_block) {
    t->descriptor = d;
    t->handle = d->instantiate(d, sample_rate, "", features);
    if (!t->handle) return -1;
    t->state = (const LV2_State_Interface*)d->extension_data(LV2_STATE__interface);
    t->controls[0] = 15.0f;
    t->controls[1] = 0.0f;
    t->controls[2] = 7.0f;
    t->mod_cutoff = -1.0f;
    t->in.assign(max_block, 0.0f);
    t->out.assign(max_block, 0.0f);
    d->connect_port(t->handle, 0, t->in.data());
    d->connect_port(t->handle, 1, t->out.data());
    for (uint32_t i = 0; i < 3; ++i)
        d->connect_port(t->handle, 2 + i, &t->controls[i]);
    d->connect_port(t->handle, 5, &t->mod_cutoff);
    d->activate(t->handle);
    return 0;
}

void test_instance_run(TestInstance* t, uint32_t count) {
    t->descriptor->run(t->handle, count);
}

LV2_State_Status test_instance_save(TestInstance* t, TestStateStore* store) {
    return t->state->save(t->handle, test_state_store, store, 0, nullptr);
}

LV2_State_Status test_instance_restore(TestInstance* t, TestStateStore* store) {
    return t->state->restore(t->handle, test_state_retrieve, store, 0, nullptr);
}

void test_instance_close(TestInstance* t) {
    if (t->handle) t->descriptor->cleanup(t->handle);
    t->handle = nullptr;
}

static int read_float(const KeyValueMap* map, const char* key, float* out) {
    uint64_t length = 0;
    const uint8_t* bytes = kv_map_find(map, key, strlen(key), &length);
    if (!bytes || length != 4) return -1;
    memcpy(out, bytes, 4);
    return 0;
}

int read_saved_state(const std::vector<uint8_t>& blob, SavedState* out) {
    StateDocument doc;
    if (state_document_read(&doc, blob.data(), blob.size()) != 0) return -1;
    static const char* const keys[3] = {"cutoff", "lfo_amt", "lfo_speed"};
    int result = 0;
    for (int i = 0; i < 3; ++i)
        result |= read_float(doc.parameters, keys[i], &out->values[i]);
    result |= read_float(doc.info, "sample_rate", &out->sample_rate);
    uint64_t length = 0;
    const uint8_t* format = kv_map_find(doc.info, "format", 6, &length);
    if (format)
        out->format.assign((const char*)format, length);
    else
        result = -1;
    state_document_free(&doc);
    return result;
}
