#include "memory_stream.h"

#include <string.h>

#include "vst3/uids.h"

static MemoryStream* self(IBStream* s) {
    return (MemoryStream*)s;
}

static tresult queryInterface(IBStream* s, const char* iid, void** obj) {
    if (uidEqual(iid, FUnknown_iid) || uidEqual(iid, IBStream_iid)) {
        *obj = s;
        ++self(s)->refCount;
        return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
}
static uint32_t addRef(IBStream* s) {
    return (uint32_t)++self(s)->refCount;
}
static uint32_t release(IBStream* s) {
    return (uint32_t)--self(s)->refCount;
}

static tresult read(IBStream* s, void* buffer, int32_t numBytes, int32_t* numBytesRead) {
    MemoryStream* m = self(s);
    int64_t left = (int64_t)m->bytes.size() - m->position;
    int64_t n = numBytes < left ? numBytes : left;
    if (m->readLimit >= 0 && n > m->readLimit) n = m->readLimit;
    if (n < 0) n = 0;
    if (n > 0) memcpy(buffer, m->bytes.data() + m->position, (size_t)n);
    m->position += n;
    if (numBytesRead) *numBytesRead = (int32_t)n;
    return kResultOk;
}

static tresult write(IBStream* s, void* buffer, int32_t numBytes, int32_t* numBytesWritten) {
    MemoryStream* m = self(s);
    int64_t n = numBytes;
    if (m->acceptLimit >= 0 && m->position + n > m->acceptLimit) n = m->acceptLimit - m->position;
    if (n < 0) n = 0;
    if ((int64_t)m->bytes.size() < m->position + n) m->bytes.resize((size_t)(m->position + n));
    if (n > 0) memcpy(m->bytes.data() + m->position, buffer, (size_t)n);
    m->position += n;
    if (numBytesWritten) *numBytesWritten = (int32_t)n;
    return kResultOk;
}

static tresult seek(IBStream* s, int64_t pos, int32_t mode, int64_t* result) {
    MemoryStream* m = self(s);
    if (m->failSeek) return kResultFalse;
    int64_t base = mode == kIBSeekSet ? 0 : mode == kIBSeekCur ? m->position : m->bytes.size();
    if (mode < kIBSeekSet || mode > kIBSeekEnd || base + pos < 0) return kInvalidArgument;
    m->position = base + pos;
    if (result) *result = m->position;
    return kResultOk;
}

static tresult tell(IBStream* s, int64_t* pos) {
    if (!pos) return kInvalidArgument;
    *pos = self(s)->position;
    return kResultOk;
}

static const IBStreamVtbl memoryStreamVtbl = {
    {queryInterface, addRef, release}, read, write, seek, tell,
};

MemoryStream::MemoryStream() {
    stream.vtbl = &memoryStreamVtbl;
}

MemoryStream::MemoryStream(std::vector<uint8_t> contents) : bytes(std::move(contents)) {
    stream.vtbl = &memoryStreamVtbl;
}
