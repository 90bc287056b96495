// Ordered map of borrowed byte-string keys to borrowed byte-string values (an AVL tree), and the
// map file: its stored form as length-prefixed records.
// Thread: any thread; a map is used by one thread at a time (one save or restore call).
#pragma once

#include <stddef.h>
#include <stdint.h>

struct KeyValueMap;

// Returns 0 to go on; any other value stops the walk and becomes its result.
typedef int32_t (*KeyValueVisitor)(const uint8_t* key, uint64_t key_length, const uint8_t* value,
                                   uint64_t value_length, void* context);

// Empty map (caller destroys it with kv_map_destroy), or null when out of memory.
KeyValueMap* kv_map_create();
// 0, or -1 when out of memory (nothing added). Keys may repeat; the map borrows both byte strings,
// which the caller keeps alive until the map is destroyed.
int kv_map_insert(KeyValueMap* map, const void* key, uint64_t key_length, const void* value,
                  uint64_t value_length);
// Value bytes and their length, or null (out_length untouched) when no key compares equal.
const uint8_t* kv_map_find(const KeyValueMap* map, const void* key, uint64_t key_length,
                           uint64_t* out_length);
// Visits the entries in ascending key order; a non-zero visitor result stops and is returned.
int32_t kv_map_for_each(const KeyValueMap* map, KeyValueVisitor visitor, void* context);
// Frees the map's own records, never the borrowed bytes. A null map is ignored.
void kv_map_destroy(KeyValueMap* map);
// True when every node is balanced, its height and parent link are right and the walk is ordered.
bool kv_map_is_consistent(const KeyValueMap* map);

// Newly allocated map file (release with free) and its size, or null. Refuses (null) an empty key
// or a key or value of 2^32 bytes or more, which the file could not hold.
uint8_t* encode_map_file(const KeyValueMap* map, size_t* out_size);
// Map whose keys and values point into `bytes`, or null with errno EINVAL (empty key, record
// running past the end) or ENOMEM. `bytes` must outlive the map.
KeyValueMap* decode_map_file(const uint8_t* bytes, size_t size);
