// An IBStream over a byte vector, with the ways a host stream can fall short.
#pragma once

#include <stdint.h>

#include <vector>

#include "vst3/vst3_interfaces.h"

struct MemoryStream {
    IBStream stream;
    int32_t refCount = 1;
    std::vector<uint8_t> bytes;
    int64_t position = 0;
    // Total bytes the stream accepts; writes past it are cut short (-1: no limit).
    int64_t acceptLimit = -1;
    // Every seek fails with kResultFalse.
    bool failSeek = false;
    // Each read delivers at most this many bytes (-1: all asked for).
    int32_t readLimit = -1;

    MemoryStream();
    explicit MemoryStream(std::vector<uint8_t> contents);
    IBStream* get() { return &stream; }
};
