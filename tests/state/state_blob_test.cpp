#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <math.h>

#include "core/params.h"
#include "tests/state/state_fixtures.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Pair;

static const std::vector<std::string> applied = {"lock", "set 0", "set 1", "set 2", "unlock"};

static std::string saved(const char* format, float rate, float cutoff, float amt, float speed) {
    const float values[3] = {cutoff, amt, speed};
    size_t size = 0;
    uint8_t* blob = build_state_blob(format, rate, values, &size);
    if (!blob) return "<failed>";
    std::string out((const char*)blob, size);
    free(blob);
    return out;
}

// The named member of a decoded archive, copied out.
static std::string member(const std::string& archive, const char* name) {
    KeyValueMap* map = decode_tar(bytes_of(archive), archive.size());
    uint64_t size = 0;
    const uint8_t* bytes = map ? kv_map_find(map, name, strlen(name), &size) : nullptr;
    std::string out = bytes ? std::string((const char*)bytes, size) : "<missing>";
    kv_map_destroy(map);
    return out;
}

TEST(SavedState, IsA5632ByteArchiveOfOneInnerArchive) {
    for (const char* format : {"vst3", "lv2"}) {
        std::string blob = saved(format, 44100.0f, 15, 0, 7);
        ASSERT_EQ(5632u, blob.size()) << format;
        EXPECT_EQ(std::string("dsp.tar\0", 8), blob.substr(0, 8));
        EXPECT_EQ(std::string("00000010000\0", 12), blob.substr(124, 12)) << "4096 bytes";
        EXPECT_EQ(std::string(1024, '\0'), blob.substr(4608));
        std::string inner = member(blob, "dsp.tar");
        EXPECT_EQ(std::string("info.map\0", 9), inner.substr(0, 9));
        EXPECT_EQ(std::string("parameters.map\0", 15), inner.substr(1024, 15));
        EXPECT_EQ(std::string("version\0", 8), inner.substr(2048, 8));
        EXPECT_EQ("1.0", member(inner, "version"));
    }
}

TEST(SavedState, ParametersMapHoldsThePlainValuesAsFloats) {
    std::string parameters =
        member(member(saved("vst3", 48000, 15, 0, 7), "dsp.tar"), "parameters.map");
    EXPECT_EQ(58u, parameters.size());
    EXPECT_EQ(le32(6) + le32(4) + "cutoff" + std::string("\x00\x00\x70\x41", 4) + le32(7) +
                  le32(4) + "lfo_amt" + std::string(4, '\0') + le32(9) + le32(4) + "lfo_speed" +
                  std::string("\x00\x00\xE0\x40", 4),
              parameters);
}

TEST(SavedState, InfoMapDescribesTheWriterInKeyOrder) {
    std::string info = member(member(saved("vst3", 48000, 15, 0, 7), "dsp.tar"), "info.map");
    EXPECT_EQ(le32(6) + le32(4) + "formatvst3", info.substr(0, 18));
    EXPECT_EQ(le32(16) + le32(4) + "version_revision" + le32(3), info.substr(info.size() - 28));
    KeyValueMap* map = decode_map_file(bytes_of(info), info.size());
    ASSERT_NE(nullptr, map);
    EXPECT_THAT(entries_of(map),
                ElementsAre(Pair("format", "vst3"), Pair("id", "tamber-velum"),
                            Pair("platform", "windows"), Pair("sample_rate", float_bytes(48000)),
                            Pair("version_build", le32(1)), Pair("version_major", le32(1)),
                            Pair("version_minor", le32(2)), Pair("version_revision", le32(3))));
    kv_map_destroy(map);
    std::string lv2 = member(member(saved("lv2", 96000, 1, 2, 3), "dsp.tar"), "info.map");
    EXPECT_EQ(le32(6) + le32(3) + "formatlv2", lv2.substr(0, 17));
}

TEST(Restore, HandsTheStoredValuesOverInOrderUnderTheLock) {
    RecordingOwner owner;
    ASSERT_EQ(0, owner.restore(saved("vst3", 48000, 3, 14, 9)));
    EXPECT_EQ(applied, owner.calls);
    EXPECT_THAT(owner.values, ElementsAre(3.0f, 14.0f, 9.0f));
}

TEST(Restore, EitherFormatsStateRestoresAndUnroundedValuesPassThrough) {
    for (const char* format : {"lv2", "vst3"}) {
        RecordingOwner owner;
        ASSERT_EQ(0, owner.restore(saved(format, 22050, 7.5f, -0.5f, INFINITY))) << format;
        EXPECT_THAT(owner.values, ElementsAre(7.5f, -0.5f, INFINITY));
    }
}

// An owner that applies the shared rounding and clamping rule to what it receives.
TEST(Restore, StoredValuesRoundHalfAwayFromZeroAndClampInTheOwner) {
    auto restored = [](float a, float b, float c) {
        RecordingOwner owner;
        EXPECT_EQ(0, owner.restore(saved("vst3", 48000, a, b, c)));
        std::vector<double> out;
        for (int i = 0; i < 3; ++i)
            out.push_back(quantize(i, (double)owner.values[i]));
        return out;
    };
    EXPECT_THAT(restored(7.5f, -0.5f, 14.49f), ElementsAre(8.0, 0.0, 14.0));
    EXPECT_THAT(restored(100.0f, -INFINITY, 0.49f), ElementsAre(15.0, 0.0, 0.0));
}

// A blob built from raw parts, so that single fields can be spoiled.
static std::string blob_with(const Pairs& info, const Pairs& parameters,
                             const std::string& version = "1.0") {
    return tar_of({{"dsp.tar", tar_of({{"info.map", map_file_of(info)},
                                       {"parameters.map", map_file_of(parameters)},
                                       {"version", version}})}});
}

static const Pairs own_info = {{"id", "tamber-velum"}, {"format", "vst3"}};
static Pairs parameters_of(const std::string& cutoff, const std::string& amt,
                           const std::string& speed) {
    return {{"cutoff", cutoff}, {"lfo_amt", amt}, {"lfo_speed", speed}};
}
static const Pairs good_parameters = parameters_of(float_bytes(1), float_bytes(2), float_bytes(3));

TEST(Restore, RefusesForeignIdsAsAWholeAndCallsNoHook) {
    for (const std::string& id : {std::string("tamber-velum2"), std::string("tamber-velu"),
                                  std::string("Tamber-velum"), std::string("tamber-velum\0", 13)}) {
        RecordingOwner owner;
        EXPECT_EQ(-1, owner.restore(blob_with({{"id", id}}, good_parameters)));
        EXPECT_THAT(owner.calls, IsEmpty());
    }
    RecordingOwner owner;
    EXPECT_EQ(-1, owner.restore(blob_with({{"format", "vst3"}}, good_parameters))) << "no id";
    EXPECT_THAT(owner.calls, IsEmpty());
}

TEST(Restore, RefusesAnyBadValueAsAWhole) {
    std::vector<Pairs> spoiled = {
        parameters_of(float_bytes(NAN), float_bytes(2), float_bytes(3)),
        parameters_of(float_bytes(1), float_bytes(2), float_bytes(-NAN)),
        parameters_of(float_bytes(1), float_bytes(2) + float_bytes(2), float_bytes(3)),
        parameters_of(float_bytes(1), "\x01\x02\x03", float_bytes(3)),
        parameters_of(float_bytes(1), float_bytes(2), ""),
        {{"cutoff", float_bytes(1)}, {"lfo_amt", float_bytes(2)}},
    };
    for (size_t i = 0; i < spoiled.size(); ++i) {
        RecordingOwner owner;
        EXPECT_EQ(-1, owner.restore(blob_with(own_info, spoiled[i]))) << i;
        EXPECT_THAT(owner.calls, IsEmpty()) << i;
    }
    RecordingOwner owner;
    EXPECT_EQ(0, owner.restore(blob_with(own_info, good_parameters))) << "the same, unspoiled";
}

TEST(Restore, VersionTextsOtherThanOneZeroAreRefused) {
    for (const char* version : {"1.0\n", "1.0  "}) {
        RecordingOwner owner;
        EXPECT_EQ(0, owner.restore(blob_with(own_info, good_parameters, version))) << version;
    }
    for (const char* version : {"1.1", "1.00", "1.", "2.0"}) {
        RecordingOwner owner;
        EXPECT_EQ(-1, owner.restore(blob_with(own_info, good_parameters, version))) << version;
        EXPECT_THAT(owner.calls, IsEmpty());
    }
}

TEST(Restore, ExtraMembersAndKeysAreReadPast) {
    Pairs info = own_info;
    info.emplace_back("comment", "from a later version");
    Pairs parameters = good_parameters;
    parameters.emplace_back("mod_cutoff", float_bytes(200));
    std::string inner = tar_of({{"info.map", map_file_of(info)},
                                {"parameters.map", map_file_of(parameters)},
                                {"version", "1.0"},
                                {"zzz.bin", std::string(3000, 'z')}});
    RecordingOwner owner;
    EXPECT_EQ(0, owner.restore(tar_of({{"a.txt", "x"}, {"dsp.tar", inner}, {"z.txt", "y"}})));
    EXPECT_EQ(applied, owner.calls);
    EXPECT_THAT(owner.values, ElementsAre(1.0f, 2.0f, 3.0f));
}

// Whatever a damaged blob holds, the restore either applies a whole state or calls nothing.
TEST(Restore, DamagedBlobsApplyAllOrNothing) {
    const std::string good = saved("vst3", 48000, 15, 0, 7);
    for (size_t cut = 0; cut < good.size(); ++cut) {
        RecordingOwner owner;
        int result = owner.restore(good.substr(0, cut));
        // The inner archive is whole from 512 + 4096 bytes on; the end blocks may be missing.
        EXPECT_EQ(cut >= 4608 ? 0 : -1, result) << "cut at " << cut;
        if (result != 0) {
            EXPECT_THAT(owner.calls, IsEmpty()) << "cut at " << cut;
        }
    }
    for (size_t at = 0; at < good.size(); ++at) {
        for (uint8_t flip : {0x01, 0x80, 0xFF}) {
            std::string bad = good;
            bad[at] = (char)(bad[at] ^ flip);
            RecordingOwner owner;
            if (owner.restore(bad) == 0)
                EXPECT_EQ(applied, owner.calls) << "byte " << at;
            else
                EXPECT_THAT(owner.calls, IsEmpty()) << "byte " << at;
        }
    }
}
