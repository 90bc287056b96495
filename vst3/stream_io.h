// Whole-blob transfers over a host's IBStream.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "vst3_interfaces.h"

// [state thread] Read `stream` from its absolute start to its end into a new buffer (release with
// free). 0 on success (a stream of size 0 or less gives a null buffer and size 0), -1 otherwise.
int read_whole_stream(IBStream* stream, uint8_t** out_buffer, size_t* out_size);

// [state thread] Write all `size` bytes at the stream's position in pieces of at most 2^31 - 1;
// 0 when every byte was written, -1 as soon as a write reports fewer bytes than asked.
int writeWholeStream(IBStream* stream, const uint8_t* bytes, size_t size);
