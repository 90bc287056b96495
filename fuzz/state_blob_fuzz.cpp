// Fuzz target: arbitrary bytes as a saved state; a restore applies a whole state or nothing.
#include <math.h>

#include "fuzz/fuzz_checks.h"
#include "state/state_document.h"

namespace {
struct CountingOwner {
    int locks, unlocks, values, out_of_order;
};
} // namespace

static void count_lock(void* owner) {
    auto* o = (CountingOwner*)owner;
    o->out_of_order += o->locks != 0 || o->values != 0;
    ++o->locks;
}

static void count_unlock(void* owner) {
    auto* o = (CountingOwner*)owner;
    o->out_of_order += o->values != 3;
    ++o->unlocks;
}

static void count_value(void* owner, int index, float value) {
    auto* o = (CountingOwner*)owner;
    o->out_of_order += index != o->values || o->locks != 1 || o->unlocks != 0 || isnan(value);
    ++o->values;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CountingOwner owner = {0, 0, 0, 0};
    StateRestoreHooks hooks = {&owner, count_lock, count_unlock, count_value};
    int result = restore_state_blob(&hooks, data, size);
    fuzz_require(owner.out_of_order == 0, "hooks run as lock, three values, unlock");
    if (result == 0)
        fuzz_require(owner.locks == 1 && owner.unlocks == 1 && owner.values == 3, "all applied");
    else
        fuzz_require(owner.locks + owner.unlocks + owner.values == 0, "nothing applied");

    StateDocument doc;
    if (state_document_read(&doc, data, size) == 0) {
        size_t written = 0;
        uint8_t* blob = state_document_write(&doc, &written);
        StateDocument back;
        if (blob) {
            fuzz_require(state_document_read(&back, blob, written) == 0, "a written state reads");
            fuzz_require(sorted_entries(back.parameters) == sorted_entries(doc.parameters) &&
                             sorted_entries(back.outer_extras) == sorted_entries(doc.outer_extras),
                         "a rewritten state keeps its entries");
            state_document_free(&back);
            free(blob);
        }
        state_document_free(&doc);
    }
    return 0;
}
