#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "tests/state/state_fixtures.h"

using ::testing::ElementsAre;

TEST(KeyOrder, TheEightInfoKeysWalkInByteOrder) {
    Pairs info = {{"version_revision", ""}, {"format", ""},        {"id", ""},
                  {"sample_rate", ""},      {"version_build", ""}, {"platform", ""},
                  {"version_major", ""},    {"version_minor", ""}};
    KeyValueMap* map = map_of(info);
    EXPECT_THAT(keys_of(map),
                ElementsAre("format", "id", "platform", "sample_rate", "version_build",
                            "version_major", "version_minor", "version_revision"));
    kv_map_destroy(map);
}

TEST(KeyOrder, PrefixesComeFirstAndBytesCompareUnsigned) {
    Pairs keys = {{"lfo_speed", ""}, {"b", ""},        {"ab", ""}, {"a", ""},
                  {"lfo_amt", ""},   {"\xC3\xA9", ""}, {"z", ""}};
    KeyValueMap* map = map_of(keys);
    EXPECT_THAT(keys_of(map), ElementsAre("a", "ab", "b", "lfo_amt", "lfo_speed", "z", "\xC3\xA9"));
    kv_map_destroy(map);
}

TEST(KeyOrder, ANulHeldByBothKeysEndsTheComparisonAsEqual) {
    KeyValueMap* map = kv_map_create();
    ASSERT_EQ(0, kv_map_insert(map, "ab\0x", 4, "first", 5));
    uint64_t length = 0;
    const uint8_t* value = kv_map_find(map, "ab\0y", 4, &length);
    ASSERT_NE(nullptr, value);
    EXPECT_EQ("first", std::string((const char*)value, length));
    EXPECT_EQ(nullptr, kv_map_find(map, "ab\0", 3, &length)) << "then the shorter key orders first";
    ASSERT_EQ(0, kv_map_insert(map, "ab\0", 3, "second", 6));
    EXPECT_THAT(keys_of(map), ElementsAre(std::string("ab\0", 3), std::string("ab\0x", 4)));
    kv_map_destroy(map);
}

TEST(Find, ReturnsTheValueOrLeavesTheLengthUntouched) {
    Pairs entries = {{"cutoff", "c"}, {"lfo_amt", ""}, {"lfo_speed", "speed"}};
    KeyValueMap* map = map_of(entries);
    uint64_t length = 99;
    const uint8_t* value = kv_map_find(map, "lfo_speed", 9, &length);
    ASSERT_NE(nullptr, value);
    EXPECT_EQ("speed", std::string((const char*)value, length));
    EXPECT_NE(nullptr, kv_map_find(map, "lfo_amt", 7, &length));
    EXPECT_EQ(0u, length) << "an empty value is found with length 0";
    length = 99;
    EXPECT_EQ(nullptr, kv_map_find(map, "lfo", 3, &length));
    EXPECT_EQ(nullptr, kv_map_find(map, "lfo_speedy", 10, &length));
    EXPECT_EQ(99u, length);
    kv_map_destroy(map);

    KeyValueMap* empty = kv_map_create();
    EXPECT_EQ(nullptr, kv_map_find(empty, "a", 1, &length));
    kv_map_destroy(empty);
}

TEST(DuplicateKeys, ALaterInsertionStandsDirectlyBeforeTheEqualEntryMetOnTheDescent) {
    KeyValueMap* map = kv_map_create();
    kv_map_insert(map, "k", 1, "1", 1);
    kv_map_insert(map, "k", 1, "2", 1);
    EXPECT_THAT(entries_of(map), ElementsAre(std::make_pair("k", "2"), std::make_pair("k", "1")));
    // The descent meets "1" at the root first, so "3" lands between "2" and "1" and then rises
    // to the root in the rebalancing.
    kv_map_insert(map, "k", 1, "3", 1);
    EXPECT_THAT(entries_of(map), ElementsAre(std::make_pair("k", "2"), std::make_pair("k", "3"),
                                             std::make_pair("k", "1")));
    uint64_t length = 0;
    EXPECT_EQ('3', *kv_map_find(map, "k", 1, &length));
    EXPECT_TRUE(kv_map_is_consistent(map));
    kv_map_destroy(map);
}

TEST(Walk, ANonZeroVisitorResultStopsAndIsReturned) {
    Pairs entries = {{"a", ""}, {"b", ""}, {"c", ""}};
    KeyValueMap* map = map_of(entries);
    int visited = 0;
    int32_t result = kv_map_for_each(
        map,
        [](const uint8_t* key, uint64_t, const uint8_t*, uint64_t, void* ctx) -> int32_t {
            ++*(int*)ctx;
            return key[0] == 'b' ? -7 : 0;
        },
        &visited);
    EXPECT_EQ(-7, result);
    EXPECT_EQ(2, visited);
    kv_map_destroy(map);

    KeyValueMap* empty = kv_map_create();
    EXPECT_EQ(
        0, kv_map_for_each(
               empty,
               [](const uint8_t*, uint64_t, const uint8_t*, uint64_t, void*) { return (int32_t)1; },
               nullptr));
    kv_map_destroy(empty);
}

TEST(Destroy, LeavesTheBorrowedBytesAlone) {
    char* bytes = (char*)malloc(8);
    memcpy(bytes, "keyvalue", 8);
    KeyValueMap* map = kv_map_create();
    for (int i = 0; i < 20; ++i)
        kv_map_insert(map, bytes, 1 + i % 3, bytes + 3, 5);
    kv_map_destroy(map);
    EXPECT_EQ(0, memcmp(bytes, "keyvalue", 8));
    free(bytes); // a map that freed the bytes would make this a double free
}

// Random insertions, many of them repeats, against a sorted reference: after every insertion the
// tree is balanced with right heights and parent links, and the walk is the reference's order.
TEST(AvlProperty, RandomInsertionsStayBalancedAndOrdered) {
    std::mt19937 random(20261208);
    for (int round = 0; round < 40; ++round) {
        std::vector<std::string> pool;
        for (int i = 0; i < 1 + round; ++i) {
            std::string key(1 + random() % 4, 'a');
            for (char& c : key)
                c = (char)('a' + random() % 3);
            pool.push_back(key);
        }
        std::vector<std::string> keys, values;
        keys.reserve(300);
        values.reserve(300);
        KeyValueMap* map = kv_map_create();
        for (int i = 0; i < 300; ++i) {
            keys.push_back(pool[random() % pool.size()]);
            values.push_back(std::to_string(i));
            ASSERT_EQ(0, kv_map_insert(map, keys.back().data(), keys.back().size(),
                                       values.back().data(), values.back().size()));
            ASSERT_TRUE(kv_map_is_consistent(map)) << "after insertion " << i;
        }
        Pairs walked = entries_of(map);
        Pairs reference;
        for (size_t i = 0; i < keys.size(); ++i)
            reference.emplace_back(keys[i], values[i]);
        std::stable_sort(reference.begin(), reference.end(),
                         [](auto& a, auto& b) { return a.first < b.first; });
        ASSERT_EQ(reference.size(), walked.size());
        for (size_t i = 0; i < walked.size(); ++i)
            ASSERT_EQ(reference[i].first, walked[i].first) << "position " << i;
        std::sort(walked.begin(), walked.end());
        std::sort(reference.begin(), reference.end());
        EXPECT_EQ(reference, walked) << "every inserted entry is walked once";
        kv_map_destroy(map);
    }
}

TEST(AvlProperty, AscendingAndDescendingRunsStayBalanced) {
    std::vector<std::string> keys;
    for (int i = 0; i < 1024; ++i) {
        char key[8];
        snprintf(key, sizeof key, "%04d", i);
        keys.push_back(key);
    }
    KeyValueMap* up = kv_map_create();
    KeyValueMap* down = kv_map_create();
    for (int i = 0; i < 1024; ++i) {
        kv_map_insert(up, keys[i].data(), 4, nullptr, 0);
        kv_map_insert(down, keys[1023 - i].data(), 4, nullptr, 0);
    }
    EXPECT_TRUE(kv_map_is_consistent(up));
    EXPECT_TRUE(kv_map_is_consistent(down));
    EXPECT_EQ(keys, keys_of(up));
    EXPECT_EQ(keys, keys_of(down));
    kv_map_destroy(up);
    kv_map_destroy(down);
}
