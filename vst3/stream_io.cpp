#include "stream_io.h"

#include <stdlib.h>

static const size_t maxPiece = 0x7FFFFFFF;

int read_whole_stream(IBStream* stream, uint8_t** out_buffer, size_t* out_size) {
    *out_buffer = nullptr;
    *out_size = 0;
    int64_t end = 0;
    int64_t ignored = 0;
    if (stream->vtbl->seek(stream, 0, kIBSeekEnd, &ignored) != kResultOk) return -1;
    if (stream->vtbl->tell(stream, &end) != kResultOk) return -1;
    if (stream->vtbl->seek(stream, 0, kIBSeekSet, &ignored) != kResultOk) return -1;
    if (end <= 0) return 0;
    if ((uint64_t)end > SIZE_MAX) return -1;
    const size_t size = (size_t)end;
    uint8_t* buffer = (uint8_t*)malloc(size);
    if (!buffer) return -1;
    for (size_t done = 0; done < size;) {
        const int32_t piece = (int32_t)(size - done < maxPiece ? size - done : maxPiece);
        int32_t got = 0;
        stream->vtbl->read(stream, buffer + done, piece, &got);
        if (got != piece) {
            free(buffer);
            return -1;
        }
        done += (size_t)piece;
    }
    *out_buffer = buffer;
    *out_size = size;
    return 0;
}

int writeWholeStream(IBStream* stream, const uint8_t* bytes, size_t size) {
    for (size_t done = 0; done < size;) {
        const int32_t piece = (int32_t)(size - done < maxPiece ? size - done : maxPiece);
        int32_t written = 0;
        stream->vtbl->write(stream, (void*)(bytes + done), piece, &written);
        if (written < piece) return -1;
        done += (size_t)piece;
    }
    return 0;
}
