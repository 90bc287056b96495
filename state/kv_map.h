// Ordered map of borrowed byte-string keys to borrowed byte-string values (an AVL tree), and the
// map file: its stored form as length-prefixed records.
#pragma once

#include <stddef.h>
#include <stdint.h>

struct KeyValueMap;

// Returns 0 to go on; any other value stops the walk and becomes its result.
typedef int32_t (*KeyValueVisitor)(const uint8_t* key, uint64_t key_length, const uint8_t* value,
                                   uint64_t value_length, void* context);

KeyValueMap* kv_map_create();
// 0, or -1 when out of memory (nothing added). Keys may repeat; the map borrows both byte strings.
int kv_map_insert(KeyValueMap* map, const void* key, uint64_t key_length, const void* value,
                  uint64_t value_length);
// Value bytes and their length, or null (out_length untouched) when no key compares equal.
const uint8_t* kv_map_find(const KeyValueMap* map, const void* key, uint64_t key_length,
                           uint64_t* out_length);
int32_t kv_map_for_each(const KeyValueMap* map, KeyValueVisitor visitor, void* context);
// Frees the map's own records, never the borrowed bytes.
void kv_map_destroy(KeyValueMap* map);

// Newly allocated map file (release with free) and its size, or null.
uint8_t* encode_map_file(const KeyValueMap* map, size_t* out_size);
// Map whose keys and values point into `bytes`, or null with errno EINVAL/ENOMEM.
KeyValueMap* decode_map_file(const uint8_t* bytes, size_t size);
