// Fuzz target: arbitrary bytes as a map file.
#include "fuzz/fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzz_decoder(data, size, encode_map_file, decode_map_file);
}
