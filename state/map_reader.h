// The shared frame of the two decoders: fill a new map, or give none and an error code.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "state/kv_map.h"

// Inserts what `bytes` holds into `map`; 0, or the errno value (EINVAL, ENOMEM) of the failure.
typedef int (*MapReader)(KeyValueMap* map, const uint8_t* bytes, size_t size);

// [any thread] The map `read` filled, or null with errno set; never a partly filled map.
KeyValueMap* read_into_new_map(MapReader read, const uint8_t* bytes, size_t size);
