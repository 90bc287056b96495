// In-memory ustar archives: a member map (name -> bytes) to archive bytes and back.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "kv_map.h"

// Newly allocated archive (release with free) and its size, or null.
uint8_t* encode_tar(const KeyValueMap* members, size_t* out_size);
// Member map borrowing `bytes`, or null with errno EINVAL/ENOMEM.
KeyValueMap* decode_tar(const uint8_t* bytes, size_t size);
