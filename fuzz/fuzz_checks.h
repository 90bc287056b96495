// Checks shared by the fuzz targets: a failed check aborts, which libFuzzer reports as a finding.
#pragma once

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "state/kv_map.h"

inline void fuzz_require(bool condition, const char* what) {
    if (condition) return;
    fprintf(stderr, "check failed: %s\n", what);
    abort();
}

// Every entry of `map` copied out (which reads every borrowed byte), sorted.
inline std::vector<std::pair<std::string, std::string>> sorted_entries(const KeyValueMap* map) {
    std::vector<std::pair<std::string, std::string>> out;
    kv_map_for_each(
        map,
        [](const uint8_t* k, uint64_t kn, const uint8_t* v, uint64_t vn, void* ctx) -> int32_t {
            auto* entries = (std::vector<std::pair<std::string, std::string>>*)ctx;
            entries->emplace_back(std::string((const char*)k, kn), std::string((const char*)v, vn));
            return 0;
        },
        &out);
    std::sort(out.begin(), out.end());
    return out;
}

typedef uint8_t* (*MapEncoder)(const KeyValueMap* map, size_t* out_size);
typedef KeyValueMap* (*MapDecoder)(const uint8_t* bytes, size_t size);

// A decoded map is consistent, and whenever it can be encoded again it decodes to the same entries.
inline void check_decoded_map(const KeyValueMap* map, MapEncoder encode, MapDecoder decode) {
    fuzz_require(kv_map_is_consistent(map), "decoded map is a balanced ordered tree");
    size_t size = 0;
    uint8_t* again = encode(map, &size);
    if (!again) return;
    KeyValueMap* back = decode(again, size);
    fuzz_require(back != nullptr, "an encoded map decodes");
    fuzz_require(sorted_entries(back) == sorted_entries(map), "the round trip keeps the entries");
    kv_map_destroy(back);
    free(again);
}

// One fuzz input for a decoder: a refusal sets errno, a decoded map passes check_decoded_map.
inline int fuzz_decoder(const uint8_t* data, size_t size, MapEncoder encode, MapDecoder decode) {
    errno = 0;
    KeyValueMap* map = decode(data, size);
    if (!map) {
        fuzz_require(errno == EINVAL || errno == ENOMEM, "a refusal sets errno");
        return 0;
    }
    check_decoded_map(map, encode, decode);
    kv_map_destroy(map);
    return 0;
}
