// Fuzz target: arbitrary bytes as a tar archive.
#include "fuzz/fuzz_checks.h"
#include "state/tar.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzz_decoder(data, size, encode_tar, decode_tar);
}
