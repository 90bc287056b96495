// The sound is the same on every build: a fixed render must hash to one checked-in digest on both
// the Linux and the Windows build.
#include <gtest/gtest.h>

#include <vector>

#include "core/engine.h"
#include "engine_fixture.h"
#include "platform/platform.h"

namespace {

constexpr uint64_t RENDER_DIGEST = 0x1D91C5DE465FCFB7ull;

uint64_t fnv1a(uint64_t h, const void* data, size_t n) {
    const unsigned char* p = (const unsigned char*)data;
    for (size_t i = 0; i < n; ++i) {
        h ^= p[i];
        h *= 0x100000001B3ull;
    }
    return h;
}

// Noise plus a triangle wave, from integer arithmetic only, so that no library function differs.
std::vector<float> fixed_input(uint32_t n) {
    std::vector<float> x(n);
    uint32_t s = 31337u;
    for (uint32_t i = 0; i < n; ++i) {
        s = s * 1664525u + 1013904223u;
        int tri = (int)(i % 200) - 100;
        tri = tri < 0 ? -tri : tri;
        x[i] = (float)(int32_t)s * (0.2f / 2147483648.0f) + (float)(tri - 50) * 0.01f;
    }
    return x;
}

TEST(EngineDigest, AFixedRenderHashesToTheCheckedInDigest) {
    unsigned saved = fp_mode_enter();
    PluginCore core;
    start_instance(&core, 44100.0f, 9, 12, 13);
    reactivate(&core);
    std::vector<float> in = fixed_input(88200), out(in.size());
    const uint32_t blocks[] = {512, 37, 0, 1000, 1, 441};
    uint64_t h = 0xCBF29CE484222325ull;
    size_t pos = 0;
    for (int b = 0; pos < in.size(); ++b) {
        if (b % 40 == 39) set_params(&core, b % 3, (double)((b / 40) % 16));
        uint32_t n = blocks[b % 6];
        if (n > in.size() - pos) n = (uint32_t)(in.size() - pos);
        engine_process(&core, in.data() + pos, out.data() + pos, n);
        h = fnv1a(h, &core.mod_index, 1);
        pos += n;
    }
    h = fnv1a(h, out.data(), out.size() * sizeof(float));
    fp_mode_leave(saved);
    EXPECT_EQ(RENDER_DIGEST, h) << std::hex << h;
}

} // namespace
