// The component's getState/setState: the state blob, exchanged through the parameter lock.
#include <stdlib.h>

#include "component.h"
#include "state/state_document.h"
#include "stream_io.h"

static void lockHook(void* owner) {
    lock_for_state(&((Component*)owner)->core);
}
static void unlockHook(void* owner) {
    unlock_for_state(&((Component*)owner)->core);
}
static void setValueHook(void* owner, int index, float value) {
    set_value_from_state(&((Component*)owner)->core, index, value);
}

tresult componentSetState(Component* c, IBStream* stream) {
    if (!stream) return kResultFalse;
    uint8_t* bytes = nullptr;
    size_t size = 0;
    if (read_whole_stream(stream, &bytes, &size) != 0) return kResultFalse;
    const StateRestoreHooks hooks = {c, lockHook, unlockHook, setValueHook};
    const int restored = restore_state_blob(&hooks, bytes, size);
    free(bytes);
    return restored == 0 ? kResultOk : kResultFalse;
}

tresult componentGetState(Component* c, IBStream* stream) {
    if (!stream) return kResultFalse;
    lock_for_state(&c->core);
    const CoreStateValues held = read_values_for_state(&c->core);
    unlock_for_state(&c->core);
    size_t size = 0;
    uint8_t* blob = build_state_blob("vst3", held.sample_rate, held.values, &size);
    if (!blob) return kResultFalse;
    const int written = writeWholeStream(stream, blob, size);
    free(blob);
    return written == 0 ? kResultOk : kResultFalse;
}
