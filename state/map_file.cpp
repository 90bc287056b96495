// The map file: records of 32-bit little-endian key and value lengths followed by the bytes.
#include "state/kv_map.h"

#include <errno.h>
#include <stdlib.h>
#include <string.h>

#include "state/map_reader.h"

static const uint64_t record_header_size = 8;
static const uint64_t length_limit = 0x100000000ull;

static void put_u32_le(uint8_t* at, uint64_t v) {
    for (int i = 0; i < 4; ++i)
        at[i] = (uint8_t)(v >> (8 * i));
}

static uint64_t get_u32_le(const uint8_t* at) {
    return (uint64_t)at[0] | (uint64_t)at[1] << 8 | (uint64_t)at[2] << 16 | (uint64_t)at[3] << 24;
}

struct MapFileBuffer {
    uint8_t* bytes;
    size_t size;
};

// Appends one record, growing the buffer to exactly its new size; -1 when it cannot be stored.
static int32_t append_record(const uint8_t* key, uint64_t key_length, const uint8_t* value,
                             uint64_t value_length, void* context) {
    MapFileBuffer* out = (MapFileBuffer*)context;
    if (key_length == 0 || key_length >= length_limit || value_length >= length_limit) return -1;
    size_t grown = out->size + record_header_size + key_length + value_length;
    uint8_t* bytes = (uint8_t*)realloc(out->bytes, grown);
    if (!bytes) return -1;
    uint8_t* record = bytes + out->size;
    put_u32_le(record, key_length);
    put_u32_le(record + 4, value_length);
    memcpy(record + record_header_size, key, key_length);
    if (value_length) memcpy(record + record_header_size + key_length, value, value_length);
    out->bytes = bytes;
    out->size = grown;
    return 0;
}

uint8_t* encode_map_file(const KeyValueMap* map, size_t* out_size) {
    MapFileBuffer out = {nullptr, 0};
    if (kv_map_for_each(map, append_record, &out) != 0) {
        free(out.bytes);
        return nullptr;
    }
    *out_size = out.size;
    return out.bytes;
}

// Inserts every record of the input; 0, or the errno value of the first bad record.
static int read_records(KeyValueMap* map, const uint8_t* bytes, size_t size) {
    uint64_t p = 0;
    while (p < size) {
        // Every record, header and bytes, must lie wholly inside the input.
        if (size - p < record_header_size) return EINVAL;
        uint64_t key_length = get_u32_le(bytes + p);
        uint64_t value_length = get_u32_le(bytes + p + 4);
        if (key_length == 0) return EINVAL;
        if (key_length + value_length > size - p - record_header_size) return EINVAL;
        const uint8_t* key = bytes + p + record_header_size;
        if (kv_map_insert(map, key, key_length, key + key_length, value_length) != 0) return ENOMEM;
        p += record_header_size + key_length + value_length;
    }
    return 0;
}

KeyValueMap* decode_map_file(const uint8_t* bytes, size_t size) {
    return read_into_new_map(read_records, bytes, size);
}
