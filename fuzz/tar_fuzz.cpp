// Fuzz target: arbitrary bytes as a tar archive.
#include <errno.h>

#include "fuzz/fuzz_checks.h"
#include "state/tar.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    errno = 0;
    KeyValueMap* members = decode_tar(data, size);
    if (!members) {
        fuzz_require(errno == EINVAL || errno == ENOMEM, "a refusal sets errno");
        return 0;
    }
    check_decoded_map(members, encode_tar, decode_tar);
    kv_map_destroy(members);
    return 0;
}
