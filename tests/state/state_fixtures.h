// Shared helpers of the state suites: owned copies of maps and archives built with the real
// encoders, and an owner that records what a restore hands it.
#pragma once

#include <stdint.h>
#include <stdlib.h>

#include <string>
#include <utility>
#include <vector>

#include "state/kv_map.h"
#include "state/state_document.h"
#include "state/tar.h"

using Pairs = std::vector<std::pair<std::string, std::string>>;

inline const uint8_t* bytes_of(const std::string& s) {
    return (const uint8_t*)s.data();
}

// Entries of `map` in walk order, copied out of the borrowed bytes.
inline Pairs entries_of(const KeyValueMap* map) {
    Pairs out;
    kv_map_for_each(
        map,
        [](const uint8_t* k, uint64_t kn, const uint8_t* v, uint64_t vn, void* ctx) -> int32_t {
            ((Pairs*)ctx)
                ->emplace_back(std::string((const char*)k, kn), std::string((const char*)v, vn));
            return 0;
        },
        &out);
    return out;
}

inline std::vector<std::string> keys_of(const KeyValueMap* map) {
    std::vector<std::string> keys;
    for (auto& e : entries_of(map))
        keys.push_back(e.first);
    return keys;
}

// A map borrowing the strings of `pairs`, which must outlive it.
inline KeyValueMap* map_of(const Pairs& pairs) {
    KeyValueMap* map = kv_map_create();
    for (auto& p : pairs)
        kv_map_insert(map, p.first.data(), p.first.size(), p.second.data(), p.second.size());
    return map;
}

// Encodes `pairs` with `encode` into an owned string; "<failed>" when the encoder refuses.
template <typename Encoder>
std::string encoded(const Pairs& pairs, Encoder encode) {
    KeyValueMap* map = map_of(pairs);
    size_t size = 0;
    uint8_t* bytes = encode(map, &size);
    kv_map_destroy(map);
    if (!bytes) return "<failed>";
    std::string out((const char*)bytes, size);
    free(bytes);
    return out;
}

inline std::string tar_of(const Pairs& members) {
    return encoded(members, encode_tar);
}
inline std::string map_file_of(const Pairs& entries) {
    return encoded(entries, encode_map_file);
}

inline std::string le32(uint32_t v) {
    return std::string{(char)(v & 0xFF), (char)(v >> 8 & 0xFF), (char)(v >> 16 & 0xFF),
                       (char)(v >> 24)};
}

inline std::string float_bytes(float f) {
    std::string s(4, '\0');
    memcpy(&s[0], &f, 4);
    return s;
}

// Records the hooks a restore calls, in order, with the values handed over.
struct RecordingOwner {
    std::vector<std::string> calls;
    float values[3] = {-1, -1, -1};

    StateRestoreHooks hooks() {
        return {this, [](void* o) { ((RecordingOwner*)o)->calls.push_back("lock"); },
                [](void* o) { ((RecordingOwner*)o)->calls.push_back("unlock"); },
                [](void* o, int index, float value) {
                    auto* self = (RecordingOwner*)o;
                    self->calls.push_back("set " + std::to_string(index));
                    if (index >= 0 && index < 3) self->values[index] = value;
                }};
    }

    int restore(const std::string& blob) {
        StateRestoreHooks h = hooks();
        // An exact-size copy, so that a read past the end is caught by the sanitizers.
        std::vector<uint8_t> exact(blob.begin(), blob.end());
        return restore_state_blob(&h, exact.data(), exact.size());
    }
};
