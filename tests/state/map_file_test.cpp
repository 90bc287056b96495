#include <errno.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/state/state_fixtures.h"

using ::testing::ElementsAre;
using ::testing::Pair;

static std::string record(const std::string& key, const std::string& value) {
    return le32((uint32_t)key.size()) + le32((uint32_t)value.size()) + key + value;
}

// Decodes from an exact-size copy so that any read past the end is caught by the sanitizers.
static KeyValueMap* decode_exact(const std::string& file, std::vector<uint8_t>& keep) {
    keep.assign(file.begin(), file.end());
    return decode_map_file(keep.data(), keep.size());
}

TEST(MapFileEncoding, OneEntryIsItsLengthsKeyAndValue) {
    std::string file = map_file_of({{"id", "abc"}});
    EXPECT_EQ(13u, file.size());
    EXPECT_EQ(std::string("\x02\0\0\0\x03\0\0\0idabc", 13), file);
}

TEST(MapFileEncoding, RecordsFollowKeyOrderWithoutPadding) {
    std::string file = map_file_of({{"lfo_speed", "\x01"}, {"cutoff", ""}, {"lfo_amt", "xy"}});
    EXPECT_EQ(record("cutoff", "") + record("lfo_amt", "xy") + record("lfo_speed", "\x01"), file);
}

TEST(MapFileEncoding, AnEmptyMapGivesNoBuffer) {
    KeyValueMap* map = kv_map_create();
    size_t size = 123;
    EXPECT_EQ(nullptr, encode_map_file(map, &size));
    kv_map_destroy(map);
}

TEST(MapFileEncoding, RefusesAnEmptyKeyTheReaderWouldReject) {
    EXPECT_EQ("<failed>", map_file_of({{"a", "1"}, {"", "2"}}));
}

TEST(MapFileEncoding, RefusesLengthsBeyondThirtyTwoBits) {
    KeyValueMap* map = kv_map_create();
    static const char byte = 'x';
    kv_map_insert(map, "k", 1, &byte, 0x100000000ull); // never read: refused on its length
    size_t size = 0;
    EXPECT_EQ(nullptr, encode_map_file(map, &size));
    kv_map_destroy(map);
}

TEST(MapFileDecoding, RoundTripsAndPointsIntoTheInput) {
    std::vector<uint8_t> keep;
    KeyValueMap* map = decode_exact(record("b", "") + record("a", "12") + record("a", "3"), keep);
    ASSERT_NE(nullptr, map);
    EXPECT_THAT(entries_of(map), ElementsAre(Pair("a", "3"), Pair("a", "12"), Pair("b", "")));
    uint64_t length = 0;
    EXPECT_EQ(keep.data() + 9, kv_map_find(map, "b", 1, &length));
    EXPECT_EQ(keep.data() + 9 + 8 + 1, kv_map_find(map, "a", 1, &length));
    kv_map_destroy(map);
}

TEST(MapFileDecoding, EmptyInputGivesAnEmptyMap) {
    KeyValueMap* map = decode_map_file(nullptr, 0);
    ASSERT_NE(nullptr, map);
    EXPECT_TRUE(entries_of(map).empty());
    kv_map_destroy(map);
}

TEST(MapFileDecoding, AnEmptyValueDecodesAsAnEmptyEntry) {
    std::vector<uint8_t> keep;
    KeyValueMap* map = decode_exact(record("lfo_amt", ""), keep);
    ASSERT_NE(nullptr, map);
    EXPECT_THAT(entries_of(map), ElementsAre(Pair("lfo_amt", "")));
    kv_map_destroy(map);
}

TEST(MapFileDecoding, RejectsAZeroLengthKey) {
    std::vector<uint8_t> keep;
    errno = 0;
    EXPECT_EQ(nullptr, decode_exact(record("a", "1") + record("", "2"), keep));
    EXPECT_EQ(EINVAL, errno);
}

TEST(MapFileDecoding, RejectsEveryRecordThatRunsPastTheEnd) {
    std::string whole = record("cutoff", "abcd") + record("lfo_amt", "efgh");
    std::vector<uint8_t> keep;
    for (size_t cut = 1; cut < whole.size(); ++cut) {
        if (cut == record("cutoff", "abcd").size()) continue; // a whole first record
        errno = 0;
        EXPECT_EQ(nullptr, decode_exact(whole.substr(0, cut), keep)) << "cut at " << cut;
        EXPECT_EQ(EINVAL, errno) << "cut at " << cut;
    }
    errno = 0;
    EXPECT_EQ(nullptr, decode_exact(le32(1) + le32(0xFFFFFFFFu) + "k", keep));
    EXPECT_EQ(EINVAL, errno) << "lengths near 2^32 must not wrap around the bound";
}
