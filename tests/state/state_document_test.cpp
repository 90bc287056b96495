#include <errno.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/state/state_fixtures.h"

using ::testing::ElementsAre;
using ::testing::Pair;

static Pairs members_of(const std::string& archive) {
    KeyValueMap* map = decode_tar(bytes_of(archive), archive.size());
    if (!map) return {{"<failed>", ""}};
    Pairs members = entries_of(map);
    kv_map_destroy(map);
    return members;
}

// A document filled the way a save fills it, with extras on both levels.
struct DocumentFixture : ::testing::Test {
    StateDocument doc{};
    void SetUp() override {
        ASSERT_EQ(0, state_document_init(&doc));
        kv_map_insert(doc.info, "id", 2, "tamber-velum", 12);
        kv_map_insert(doc.parameters, "cutoff", 6, "\0\0pA", 4);
        kv_map_insert(doc.dsp_extras, "notes.txt", 9, "hello", 5);
        kv_map_insert(doc.outer_extras, "aaa", 3, "first", 5);
        kv_map_insert(doc.outer_extras, "zzz", 3, "", 0);
    }
    void TearDown() override { state_document_free(&doc); }
    std::string written() {
        size_t size = 0;
        uint8_t* blob = state_document_write(&doc, &size);
        if (!blob) return "<failed>";
        std::string out((const char*)blob, size);
        free(blob);
        return out;
    }
};

TEST_F(DocumentFixture, WritesTheInnerArchiveAndTheExtrasInKeyOrder) {
    doc.version = "9.9"; // the writer always writes its own version
    std::string blob = written();
    Pairs outer = members_of(blob);
    ASSERT_THAT(outer,
                ElementsAre(Pair("aaa", "first"), Pair("dsp.tar", ::testing::_), Pair("zzz", "")));
    EXPECT_EQ(4u * 1024 + 1024, outer[1].second.size()) << "stored with its end blocks";
    EXPECT_THAT(
        members_of(outer[1].second),
        ElementsAre(Pair("info.map", map_file_of({{"id", "tamber-velum"}})),
                    Pair("notes.txt", "hello"),
                    Pair("parameters.map", map_file_of({{"cutoff", std::string("\0\0pA", 4)}})),
                    Pair("version", "1.0")));
}

TEST_F(DocumentFixture, ReadsBackWhatItWrote) {
    std::string blob = written();
    StateDocument back;
    ASSERT_EQ(0, state_document_read(&back, bytes_of(blob), blob.size()));
    EXPECT_STREQ("1.0", back.version);
    EXPECT_EQ(entries_of(doc.info), entries_of(back.info));
    EXPECT_EQ(entries_of(doc.parameters), entries_of(back.parameters));
    EXPECT_EQ(entries_of(doc.dsp_extras), entries_of(back.dsp_extras));
    EXPECT_EQ(entries_of(doc.outer_extras), entries_of(back.outer_extras));
    uint64_t length = 0;
    const uint8_t* id = kv_map_find(back.info, "id", 2, &length);
    EXPECT_TRUE(id > bytes_of(blob) && id < bytes_of(blob) + blob.size()) << "borrows the blob";
    state_document_free(&back);
}

TEST_F(DocumentFixture, AnEmptyMapFileFailsTheWrite) {
    state_document_free(&doc);
    ASSERT_EQ(0, state_document_init(&doc));
    kv_map_insert(doc.info, "id", 2, "tamber-velum", 12);
    EXPECT_EQ("<failed>", written()) << "parameters are empty";
}

// Builds a blob from raw inner members, as another writer might.
static std::string blob_of(const Pairs& inner, const Pairs& outer_extras = {}) {
    Pairs outer = outer_extras;
    outer.emplace_back("dsp.tar", tar_of(inner));
    return tar_of(outer);
}

static Pairs good_inner(const std::string& version) {
    return {{"version", version},
            {"info.map", map_file_of({{"id", "tamber-velum"}})},
            {"parameters.map", map_file_of({{"cutoff", "1234"}})}};
}

static int read_errno(const std::string& blob) {
    StateDocument doc;
    errno = 0;
    std::vector<uint8_t> exact(blob.begin(), blob.end());
    if (state_document_read(&doc, exact.data(), exact.size()) == 0) {
        state_document_free(&doc);
        return 0;
    }
    EXPECT_EQ(nullptr, doc.info) << "a failed read leaves nothing to release";
    EXPECT_EQ(nullptr, doc.outer_extras);
    return errno;
}

TEST(DocumentReading, AcceptsVersionOneZeroWithTrailingWhiteSpaceOnly) {
    EXPECT_EQ(0, read_errno(blob_of(good_inner("1.0"))));
    EXPECT_EQ(0, read_errno(blob_of(good_inner("1.0\n"))));
    EXPECT_EQ(0, read_errno(blob_of(good_inner("1.0 \t\r\n\v\f"))));
    EXPECT_EQ(EINVAL, read_errno(blob_of(good_inner("1.1"))));
    EXPECT_EQ(EINVAL, read_errno(blob_of(good_inner("1.00"))));
    EXPECT_EQ(EINVAL, read_errno(blob_of(good_inner("1."))));
    EXPECT_EQ(EINVAL, read_errno(blob_of(good_inner("1.0\n1"))));
    EXPECT_EQ(EINVAL, read_errno(blob_of(good_inner(" 1.0"))));
}

TEST(DocumentReading, RefusesMissingOrMalformedMembers) {
    EXPECT_EQ(EINVAL, read_errno("")) << "no dsp.tar";
    EXPECT_EQ(EINVAL, read_errno(tar_of({{"dsp.tar.gz", tar_of(good_inner("1.0"))}})));
    EXPECT_EQ(EINVAL, read_errno(tar_of({{"dsp.tar", "not an archive"}})));
    for (const char* missing : {"version", "info.map", "parameters.map"}) {
        Pairs inner;
        for (auto& m : good_inner("1.0"))
            if (m.first != missing) inner.push_back(m);
        EXPECT_EQ(EINVAL, read_errno(blob_of(inner))) << missing;
    }
    Pairs bad_map = good_inner("1.0");
    bad_map[2].second = le32(0) + le32(1) + "x";
    EXPECT_EQ(EINVAL, read_errno(blob_of(bad_map))) << "zero-length key";
    bad_map[2].second = le32(6) + le32(4) + "cutoff12";
    EXPECT_EQ(EINVAL, read_errno(blob_of(bad_map))) << "value runs past the map file";
}

TEST(DocumentReading, CarriesExtraMembersOfBothArchives) {
    Pairs inner = good_inner("1.0");
    inner.emplace_back("info.ma", "near miss");
    inner.emplace_back("versions", "near miss");
    std::string blob = blob_of(inner, {{"dsp.tar2", "outer"}});
    StateDocument doc;
    ASSERT_EQ(0, state_document_read(&doc, bytes_of(blob), blob.size()));
    EXPECT_THAT(entries_of(doc.dsp_extras),
                ElementsAre(Pair("info.ma", "near miss"), Pair("versions", "near miss")));
    EXPECT_THAT(entries_of(doc.outer_extras), ElementsAre(Pair("dsp.tar2", "outer")));
    state_document_free(&doc);
}
