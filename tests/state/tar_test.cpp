#include <errno.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/state/state_fixtures.h"

using ::testing::ElementsAre;
using ::testing::Pair;

static std::string field(const std::string& archive, size_t offset, size_t width) {
    return archive.substr(offset, width);
}

static KeyValueMap* decode_exact(const std::string& archive, std::vector<uint8_t>& keep) {
    keep.assign(archive.begin(), archive.end());
    return decode_tar(keep.data(), keep.size());
}

TEST(TarWriting, AnEmptyMapIsTwoNulBlocks) {
    EXPECT_EQ(std::string(1024, '\0'), tar_of({}));
}

TEST(TarWriting, TheVersionMemberIsByteExact) {
    std::string archive = tar_of({{"version", "1.0"}});
    ASSERT_EQ(2048u, archive.size());
    EXPECT_EQ(std::string("version") + std::string(93, '\0'), field(archive, 0, 100));
    EXPECT_EQ(std::string("0000644\0", 8), field(archive, 100, 8));
    EXPECT_EQ(std::string("0000000\0", 8), field(archive, 108, 8));
    EXPECT_EQ(std::string("0000000\0", 8), field(archive, 116, 8));
    EXPECT_EQ(std::string("00000000003\0", 12), field(archive, 124, 12));
    EXPECT_EQ(std::string("00000000000\0", 12), field(archive, 136, 12));
    EXPECT_EQ(std::string("07346\0\0 ", 8), field(archive, 148, 8));
    EXPECT_EQ("0", field(archive, 156, 1));
    EXPECT_EQ(std::string(100, '\0'), field(archive, 157, 100));
    EXPECT_EQ(std::string("ustar\0"
                          "00",
                          8),
              field(archive, 257, 8));
    EXPECT_EQ(std::string(512 - 265, '\0'), field(archive, 265, 512 - 265));
    EXPECT_EQ("1.0" + std::string(509, '\0'), field(archive, 512, 512));
    EXPECT_EQ(std::string(1024, '\0'), field(archive, 1024, 1024));
}

// The checksum adds bytes as signed chars in 18 bits: a 0xFF name byte counts -1, and a sum
// below zero wraps to six octal digits.
TEST(TarWriting, TheChecksumCountsHighBytesAsNegative) {
    std::string one = tar_of({{"\xFF", ""}});
    EXPECT_EQ(std::string("05734\0\0 ", 8), field(one, 148, 8));
    std::string wrapped = tar_of({{std::string(99, '\x80'), ""}});
    EXPECT_EQ(std::string("755135\0 ", 8), field(wrapped, 148, 8));
}

TEST(TarWriting, DataIsPaddedToWholeBlocks) {
    EXPECT_EQ(512u + 512 + 1024, tar_of({{"a", std::string(512, 'x')}}).size());
    std::string two = tar_of({{"a", std::string(513, 'x')}});
    ASSERT_EQ(512u + 1024 + 1024, two.size());
    EXPECT_EQ("x" + std::string(511, '\0'), field(two, 1024, 512));
    EXPECT_EQ(512u + 1024, tar_of({{"empty", ""}}).size()) << "an empty member has no data block";
}

TEST(TarWriting, NamesHoldNinetyNineBytesAtMost) {
    std::string archive = tar_of({{std::string(99, 'n'), "d"}});
    ASSERT_EQ(2048u, archive.size());
    EXPECT_EQ(std::string(99, 'n') + '\0', field(archive, 0, 100));
    EXPECT_EQ("<failed>", tar_of({{"ok", "d"}, {std::string(100, 'n'), "d"}}));
}

TEST(TarWriting, RefusesNamesThatWouldNotReadBackAsWritten) {
    EXPECT_EQ("<failed>", tar_of({{"", "lost with everything after it"}}));
    EXPECT_EQ("<failed>", tar_of({{std::string("a\0b", 3), "cut at the NUL"}}));
}

TEST(TarWriting, RefusesDataTheSizeFieldCannotHold) {
    KeyValueMap* map = kv_map_create();
    static const char byte = 'x';
    kv_map_insert(map, "huge", 4, &byte, 1ull << 33); // never read: refused on its length
    size_t size = 0;
    EXPECT_EQ(nullptr, encode_tar(map, &size));
    kv_map_destroy(map);
}

TEST(TarWriting, MembersFollowKeyOrderWhateverTheInsertionOrder) {
    std::string archive = tar_of({{"version", "1.0"}, {"parameters.map", "p"}, {"info.map", "i"}});
    ASSERT_EQ(3u * 1024 + 1024, archive.size());
    EXPECT_EQ(std::string("info.map\0", 9), field(archive, 0, 9));
    EXPECT_EQ(std::string("parameters.map\0", 15), field(archive, 1024, 15));
    EXPECT_EQ(std::string("version\0", 8), field(archive, 2048, 8));
}

TEST(TarReading, EmptyInputsGiveEmptyMaps) {
    std::vector<uint8_t> keep;
    for (size_t size : {0, 1, 511, 1024}) {
        KeyValueMap* map = decode_exact(std::string(size, '\0'), keep);
        ASSERT_NE(nullptr, map) << size;
        EXPECT_TRUE(entries_of(map).empty());
        kv_map_destroy(map);
    }
}

TEST(TarReading, RoundTripsAndBorrowsTheInput) {
    std::vector<uint8_t> keep;
    KeyValueMap* map = decode_exact(
        tar_of({{"version", "1.0"}, {"big", std::string(700, 'b')}, {"none", ""}}), keep);
    ASSERT_NE(nullptr, map);
    EXPECT_THAT(keys_of(map), ElementsAre("big", "none", "version"));
    uint64_t length = 0;
    EXPECT_EQ(keep.data() + 512, kv_map_find(map, "big", 3, &length));
    EXPECT_EQ(700u, length);
    EXPECT_EQ(keep.data() + 2048 + 512, kv_map_find(map, "version", 7, &length));
    kv_map_destroy(map);
}

TEST(TarReading, IgnoresChecksumMagicAndTypeAndKeepsDuplicateNames) {
    std::string archive = tar_of({{"a", "1"}, {"b", "2"}});
    archive[148] = '7';        // wrong checksum
    archive[257] = 'X';        // not "ustar"
    archive[1024 + 156] = '5'; // a directory entry
    archive = archive.substr(0, archive.size() - 1024) + tar_of({{"a", "3"}});
    std::vector<uint8_t> keep;
    KeyValueMap* map = decode_exact(archive, keep);
    ASSERT_NE(nullptr, map);
    EXPECT_EQ(3u, entries_of(map).size());
    EXPECT_THAT(keys_of(map), ElementsAre("a", "a", "b"));
    kv_map_destroy(map);
}

TEST(TarReading, AFullHundredByteNameIsTakenWhole) {
    std::string archive = tar_of({{std::string(99, 'n'), "d"}});
    archive[99] = 'm';
    std::vector<uint8_t> keep;
    KeyValueMap* map = decode_exact(archive, keep);
    ASSERT_NE(nullptr, map);
    EXPECT_THAT(keys_of(map), ElementsAre(std::string(99, 'n') + "m"));
    kv_map_destroy(map);
}

TEST(TarReading, TheSizeFieldMustBeElevenOctalDigitsAndANul) {
    std::string good = tar_of({{"m", "x"}});
    std::vector<uint8_t> keep;
    auto rejected = [&](size_t offset, char byte) {
        std::string bad = good;
        bad[offset] = byte;
        errno = 0;
        KeyValueMap* map = decode_exact(bad, keep);
        kv_map_destroy(map);
        return map == nullptr && errno == EINVAL;
    };
    EXPECT_TRUE(rejected(135, ' ')) << "space instead of the NUL";
    EXPECT_TRUE(rejected(134, '8')) << "not an octal digit";
    EXPECT_TRUE(rejected(124, ' ')) << "leading space";
    EXPECT_TRUE(rejected(130, '\0')) << "too few digits";
    EXPECT_FALSE(rejected(135, '\0'));
}

// One allocation big enough for a member of 2^31 bytes; the pages beyond the header are never
// touched, so this costs address space only.
TEST(TarReading, SizesBelowTwoToTheThirtyFirstAreAccepted) {
    const size_t size = 512 + (1ull << 31);
    uint8_t* archive = (uint8_t*)calloc(size, 1);
    ASSERT_NE(nullptr, archive);
    archive[0] = 'm';
    memcpy(archive + 124, "17777777777", 12);
    KeyValueMap* map = decode_tar(archive, size);
    ASSERT_NE(nullptr, map);
    uint64_t length = 0;
    EXPECT_NE(nullptr, kv_map_find(map, "m", 1, &length));
    EXPECT_EQ(0x7FFFFFFFu, length);
    kv_map_destroy(map);
    memcpy(archive + 124, "20000000000", 12);
    errno = 0;
    EXPECT_EQ(nullptr, decode_tar(archive, size));
    EXPECT_EQ(EINVAL, errno);
    free(archive);
}

TEST(TarReading, AnArchiveCutRightAfterTheLastDataDecodes) {
    std::string archive = tar_of({{"a", std::string(600, 'a')}, {"b", "bb"}});
    std::vector<uint8_t> keep;
    KeyValueMap* map = decode_exact(archive.substr(0, 512 + 1024 + 512 + 2), keep);
    ASSERT_NE(nullptr, map);
    EXPECT_THAT(entries_of(map), ElementsAre(Pair("a", std::string(600, 'a')), Pair("b", "bb")));
    kv_map_destroy(map);
}

TEST(TarReading, RejectsHeadersAndDataThatRunPastTheEnd) {
    std::string archive = tar_of({{"a", std::string(600, 'a')}, {"b", "bb"}});
    std::vector<uint8_t> keep;
    for (size_t cut : {1, 100, 511, 512, 1111, 1537, 2047, 2049}) {
        errno = 0;
        EXPECT_EQ(nullptr, decode_exact(archive.substr(0, cut), keep)) << "cut at " << cut;
        EXPECT_EQ(EINVAL, errno) << "cut at " << cut;
    }
}
