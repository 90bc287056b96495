// The saved state: a 5632-byte tar archive holding "dsp.tar" (version text, "info.map",
// "parameters.map"), written and read the same way by both plug-in formats.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "kv_map.h"

// Lives for one save or restore call on the thread making it. The maps borrow their bytes: the
// writer's own variables, or the blob a document was read from.
struct StateDocument {
    const char* version; // "1.0" after a read; the writer ignores it
    KeyValueMap* info;
    KeyValueMap* parameters;
    KeyValueMap* dsp_extras;
    KeyValueMap* outer_extras;
};

// How a restored state reaches its owner; no hook is called unless the whole state was accepted.
// The hooks run on the thread calling restore_state_blob: lock, set_value for 0, 1, 2, unlock.
struct StateRestoreHooks {
    void* owner; // the caller's, passed to every hook
    void (*lock)(void* owner);
    void (*unlock)(void* owner);
    void (*set_value)(void* owner, int index, float value); // stored value; owner rounds, clamps
};

// [state thread] 0, or -1 when a map cannot be created (nothing is left to free).
int state_document_init(StateDocument* doc);
// [state thread] Destroys the four maps, never the bytes they borrow.
void state_document_free(StateDocument* doc);
// [state thread] Newly allocated blob (release with free) and its size, or null.
uint8_t* state_document_write(const StateDocument* doc, size_t* out_size);
// [state thread] 0, or -1 with errno EINVAL/ENOMEM and nothing to free. On success the maps
// borrow `bytes`, which must outlive the document.
int state_document_read(StateDocument* doc, const uint8_t* bytes, size_t size);

// [state thread] Blob of one plug-in's state; `format` is "vst3" or "lv2". Release with free.
uint8_t* build_state_blob(const char* format, float sample_rate, const float values[3],
                          size_t* out_size);
// [state thread] 0 when the blob was accepted and applied through `hooks`, -1 otherwise.
int restore_state_blob(const StateRestoreHooks* hooks, const uint8_t* bytes, size_t size);
