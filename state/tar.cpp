// In-memory ustar archives: a fixed minimal header per member, data padded to 512-byte blocks, and
// two NUL blocks at the end. The reader needs only the name and size fields.
#include "state/tar.h"

#include <errno.h>
#include <stdlib.h>
#include <string.h>

#include "state/map_reader.h"

static const uint64_t block_size = 512;
static const uint64_t end_size = 2 * block_size;
static const uint64_t name_field = 100;
static const uint64_t size_offset = 124;
static const uint64_t size_digits = 11;
static const uint64_t checksum_offset = 148;
static const uint64_t writable_size_limit = 1ull << 33; // 8^11: what eleven octal digits hold
static const uint64_t readable_size_limit = 1ull << 31;

static uint64_t padded(uint64_t size) {
    return (size + block_size - 1) / block_size * block_size;
}

// Writes `value` as `digits` zero-filled octal digits followed by a NUL.
static void put_octal(uint8_t* at, int digits, uint64_t value) {
    for (int i = digits - 1; i >= 0; --i) {
        at[i] = (uint8_t)('0' + (value & 7));
        value >>= 3;
    }
    at[digits] = 0;
}

// The sum of the header bytes taken as signed chars, kept to its low 18 bits.
static uint64_t header_checksum(const uint8_t* header) {
    uint64_t sum = 0;
    for (uint64_t i = 0; i < block_size; ++i)
        sum = (sum + (uint64_t)(int64_t)(int8_t)header[i]) & 0x3FFFF;
    return sum;
}

static void write_header(uint8_t* header, const uint8_t* name, uint64_t name_length,
                         uint64_t data_size) {
    memcpy(header, name, name_length);
    memcpy(header + 100, "0000644", 8);
    memcpy(header + 108, "0000000", 8);
    memcpy(header + 116, "0000000", 8);
    put_octal(header + size_offset, (int)size_digits, data_size);
    memcpy(header + 136, "00000000000", 12);
    memset(header + checksum_offset, ' ', 8);
    header[156] = '0';
    memcpy(header + 257, "ustar", 6);
    memcpy(header + 263, "00", 2);
    uint64_t sum = header_checksum(header);
    put_octal(header + checksum_offset, sum >= 0100000 ? 6 : 5, sum);
    header[154] = 0;
}

struct TarBuffer {
    uint8_t* bytes;
    size_t size;
};

// Grows the buffer by `extra` NUL bytes; the new region, or null when out of memory.
static uint8_t* grow_zeroed(TarBuffer* out, uint64_t extra) {
    uint8_t* bytes = (uint8_t*)realloc(out->bytes, out->size + extra);
    if (!bytes) return nullptr;
    out->bytes = bytes;
    uint8_t* added = bytes + out->size;
    memset(added, 0, extra);
    out->size += extra;
    return added;
}

// A name must fit the field with its NUL and read back as written: 1 to 99 bytes, none NUL.
static bool writable_name(const uint8_t* name, uint64_t length) {
    return length > 0 && length < name_field && !memchr(name, 0, length);
}

static int32_t append_member(const uint8_t* name, uint64_t name_length, const uint8_t* data,
                             uint64_t data_size, void* context) {
    if (!writable_name(name, name_length) || data_size >= writable_size_limit) return -1;
    uint8_t* header = grow_zeroed((TarBuffer*)context, block_size + padded(data_size));
    if (!header) return -1;
    write_header(header, name, name_length, data_size);
    if (data_size) memcpy(header + block_size, data, data_size);
    return 0;
}

uint8_t* encode_tar(const KeyValueMap* members, size_t* out_size) {
    TarBuffer out = {nullptr, 0};
    if (kv_map_for_each(members, append_member, &out) != 0 || !grow_zeroed(&out, end_size)) {
        free(out.bytes);
        return nullptr;
    }
    *out_size = out.size;
    return out.bytes;
}

// The size field: exactly eleven octal digits and a NUL, below 2^31; -1 otherwise.
static int64_t read_size_field(const uint8_t* header) {
    const uint8_t* field = header + size_offset;
    uint64_t value = 0;
    for (uint64_t i = 0; i < size_digits; ++i) {
        if (field[i] < '0' || field[i] > '7') return -1;
        value = value << 3 | (uint64_t)(field[i] - '0');
    }
    if (field[size_digits] != 0 || value >= readable_size_limit) return -1;
    return (int64_t)value;
}

// Inserts every member up to the end marker; 0, or the errno value of the first bad header.
static int read_members(KeyValueMap* members, const uint8_t* bytes, size_t size) {
    uint64_t p = 0;
    while (p < size && bytes[p] != 0) {
        // Headers and member data must lie wholly inside the input; the padding may be cut off.
        if (size - p < block_size) return EINVAL;
        const uint8_t* header = bytes + p;
        int64_t data_size = read_size_field(header);
        if (data_size < 0 || (uint64_t)data_size > size - p - block_size) return EINVAL;
        const uint8_t* end_of_name = (const uint8_t*)memchr(header, 0, name_field);
        uint64_t name_length = end_of_name ? (uint64_t)(end_of_name - header) : name_field;
        if (kv_map_insert(members, header, name_length, header + block_size, (uint64_t)data_size))
            return ENOMEM;
        p += block_size + padded((uint64_t)data_size);
    }
    return 0;
}

KeyValueMap* decode_tar(const uint8_t* bytes, size_t size) {
    return read_into_new_map(read_members, bytes, size);
}
