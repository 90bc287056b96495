#include "alloc_counter.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <memory>
#include <string>
#include <vector>

namespace {

struct alignas(64) Wide {
    float lanes[16];
};

// Keeps the compiler from dropping an allocation whose result is never used.
void* volatile sink;

TEST(AllocCounter, CountsEveryKindOfHeapAllocation) {
    alloc_counter_start();
    void* a = malloc(16);
    sink = a;
    void* b = calloc(4, 8);
    sink = b;
    a = realloc(a, 4096);
    sink = a;
    uint64_t c_calls = alloc_counter_stop();
    free(a);
    free(b);
    EXPECT_EQ(3u, c_calls);

    alloc_counter_start();
    std::unique_ptr<int> one(new int(7));
    std::unique_ptr<int[]> many(new int[100]);
    std::unique_ptr<Wide> wide(new Wide());
    sink = one.get();
    sink = many.get();
    sink = wide.get();
    uint64_t new_calls = alloc_counter_stop();
    EXPECT_EQ(3u, new_calls);
    EXPECT_EQ(0u, (uintptr_t)wide.get() % 64);
}

TEST(AllocCounter, CountsLibraryContainersAndNothingOutsideTheWindow) {
    std::vector<int> before(1000);
    alloc_counter_start();
    std::vector<int> v;
    for (int i = 0; i < 100; ++i)
        v.push_back(i);
    std::string s(200, 'x');
    uint64_t inside = alloc_counter_stop();
    EXPECT_GE(inside, 2u);

    alloc_counter_start();
    int sum = 0;
    for (int x : v)
        sum += x;
    EXPECT_EQ(4950, sum);
    EXPECT_EQ(0u, alloc_counter_stop());
}

} // namespace
