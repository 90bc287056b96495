// In-memory ustar archives: a member map (name -> bytes) to archive bytes and back.
// Thread: any thread (the state save/restore thread in practice); no shared data.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "kv_map.h"

// Newly allocated archive (the caller releases it with free) and its size, or null when out of
// memory or a member cannot be written: a name that is empty, holds a NUL or has 100 bytes or
// more, or data of 8 GiB or more. The map is not changed.
uint8_t* encode_tar(const KeyValueMap* members, size_t* out_size);
// Member map borrowing `bytes` (which must outlive it), or null with errno EINVAL (a malformed or
// too large size field, a header or member data running past the end) or ENOMEM.
KeyValueMap* decode_tar(const uint8_t* bytes, size_t size);
