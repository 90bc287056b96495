// Every allocation of a save, a restore and the decoders is made to fail in turn: each failure
// must give a failure result, apply nothing and leak nothing (the ASan build checks the leaks).
// The state library's malloc and realloc are wrapped at link time (-Wl,--wrap).
#include <errno.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/state/state_fixtures.h"

static long allocations_left = -1; // -1: no failure armed

extern "C" void* __real_malloc(size_t size);
extern "C" void* __real_realloc(void* block, size_t size);

static bool allocation_fails() {
    if (allocations_left < 0) return false;
    return allocations_left-- == 0;
}

extern "C" void* __wrap_malloc(size_t size) {
    return allocation_fails() ? nullptr : __real_malloc(size);
}

extern "C" void* __wrap_realloc(void* block, size_t size) {
    return allocation_fails() ? nullptr : __real_realloc(block, size);
}

// Runs `call` with allocation number `n` failing; false once the call made fewer than n + 1.
template <typename Call>
bool with_failing_allocation(long n, Call call) {
    allocations_left = n;
    call();
    bool reached = allocations_left < 0;
    allocations_left = -1;
    return reached;
}

static const float values[3] = {15, 0, 7};

TEST(OutOfMemory, EveryFailedAllocationFailsTheSave) {
    size_t size = 0;
    uint8_t* good = build_state_blob("vst3", 48000, values, &size);
    ASSERT_NE(nullptr, good);
    long n = 0;
    for (;; ++n) {
        uint8_t* blob = nullptr;
        size_t blob_size = 0;
        if (!with_failing_allocation(
                n, [&] { blob = build_state_blob("vst3", 48000, values, &blob_size); })) {
            ASSERT_NE(nullptr, blob);
            EXPECT_EQ(0, memcmp(good, blob, size));
            free(blob);
            break;
        }
        EXPECT_EQ(nullptr, blob) << "allocation " << n;
        free(blob);
    }
    EXPECT_GT(n, 10) << "a save makes a handful of allocations";
    free(good);
}

TEST(OutOfMemory, EveryFailedAllocationFailsTheRestoreAndAppliesNothing) {
    size_t size = 0;
    uint8_t* blob = build_state_blob("lv2", 44100, values, &size);
    ASSERT_NE(nullptr, blob);
    std::string good((const char*)blob, size);
    free(blob);
    long n = 0;
    for (;; ++n) {
        RecordingOwner owner;
        int result = 1;
        errno = 0;
        if (!with_failing_allocation(n, [&] { result = owner.restore(good); })) {
            EXPECT_EQ(0, result);
            EXPECT_EQ(5u, owner.calls.size());
            break;
        }
        EXPECT_EQ(-1, result) << "allocation " << n;
        EXPECT_THAT(owner.calls, ::testing::IsEmpty()) << "allocation " << n;
    }
    EXPECT_GT(n, 10);
}

TEST(OutOfMemory, DecodersReportEnomemAndAFailedInsertionAddsNothing) {
    std::string file = map_file_of({{"a", "1"}, {"b", "2"}});
    std::string archive = tar_of({{"a", "1"}, {"b", "2"}});
    for (long n = 0; n < 5; ++n) {
        KeyValueMap* map = nullptr;
        errno = 0;
        with_failing_allocation(n, [&] { map = decode_map_file(bytes_of(file), file.size()); });
        EXPECT_EQ(nullptr, map);
        EXPECT_EQ(ENOMEM, errno);
        errno = 0;
        with_failing_allocation(n, [&] { map = decode_tar(bytes_of(archive), archive.size()); });
        EXPECT_EQ(nullptr, map);
        EXPECT_EQ(ENOMEM, errno);
    }
    KeyValueMap* map = map_of({{"k", "v"}});
    for (long n = 0; n < 2; ++n) {
        int result = 0;
        with_failing_allocation(n, [&] { result = kv_map_insert(map, "j", 1, "w", 1); });
        EXPECT_EQ(-1, result) << "entry or node allocation " << n;
    }
    EXPECT_THAT(keys_of(map), ::testing::ElementsAre("k"));
    kv_map_destroy(map);
}
