// Fuzz target: arbitrary bytes as a map file.
#include <errno.h>

#include "fuzz/fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    errno = 0;
    KeyValueMap* map = decode_map_file(data, size);
    if (!map) {
        fuzz_require(errno == EINVAL || errno == ENOMEM, "a refusal sets errno");
        return 0;
    }
    check_decoded_map(map, encode_map_file, decode_map_file);
    kv_map_destroy(map);
    return 0;
}
