// The LV2 state interface: the whole state is one property holding the state blob as a chunk.
#include <stdlib.h>

#include "instance.h"
#include "port_value.h"
#include "state/state_document.h"
#include "uris.h"

// [state thread] Restore hooks: the blob reader hands over the values under the parameter lock.
static void lock_hook(void* owner) {
    lock_for_state(&((Lv2Plugin*)owner)->core);
}
static void unlock_hook(void* owner) {
    unlock_for_state(&((Lv2Plugin*)owner)->core);
}
static void set_value_hook(void* owner, int index, float value) {
    set_value_from_state(&((Lv2Plugin*)owner)->core, index, round_port_value(index, value));
}

// [state thread, may overlap run] Hands the state blob to the host's store function once.
static LV2_State_Status save(LV2_Handle instance, LV2_State_Store_Function store,
                             LV2_State_Handle handle, uint32_t, const LV2_Feature* const*) {
    Lv2Plugin* p = (Lv2Plugin*)instance;
    if (!p->map) {
        lv2_log_error(&p->logger, "Host is trying to store state but didn't provide URID map\n");
        return LV2_STATE_ERR_UNKNOWN;
    }
    float sample_rate = p->sample_rate;
    lock_for_state(&p->core);
    CoreStateValues current = read_values_for_state(&p->core);
    unlock_for_state(&p->core);
    size_t size = 0;
    uint8_t* blob = build_state_blob("lv2", sample_rate, current.values, &size);
    if (!blob) return LV2_STATE_ERR_UNKNOWN;
    LV2_State_Status stored = store(handle, p->state_property_urid, blob, size, p->chunk_urid,
                                    LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
    free(blob);
    return stored == LV2_STATE_SUCCESS ? LV2_STATE_SUCCESS : LV2_STATE_ERR_UNKNOWN;
}

// [state thread] Applies the retrieved state blob; the host's value is only read during the call.
static LV2_State_Status restore(LV2_Handle instance, LV2_State_Retrieve_Function retrieve,
                                LV2_State_Handle handle, uint32_t, const LV2_Feature* const*) {
    Lv2Plugin* p = (Lv2Plugin*)instance;
    if (!p->map) {
        lv2_log_error(&p->logger, "Host is trying to restore state but didn't provide URID map\n");
        return LV2_STATE_ERR_UNKNOWN;
    }
    size_t size = 0;
    uint32_t type = 0;
    uint32_t flags = 0;
    const void* value = retrieve(handle, p->state_property_urid, &size, &type, &flags);
    if (!value) {
        lv2_log_error(&p->logger,
                      "Cannot restore state since property <%s> could not be retrieved\n",
                      VELUM_LV2_STATE_PROPERTY_URI);
        return LV2_STATE_ERR_NO_PROPERTY;
    }
    StateRestoreHooks hooks = {p, lock_hook, unlock_hook, set_value_hook};
    if (restore_state_blob(&hooks, (const uint8_t*)value, size) != 0) return LV2_STATE_ERR_UNKNOWN;
    return LV2_STATE_SUCCESS;
}

const LV2_State_Interface lv2_state_interface = {save, restore};
