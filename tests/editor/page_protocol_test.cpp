// The page protocol through its dispatcher, with a dispatch table that records every call.
#include "editor/page_protocol.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

namespace {

struct Call {
    std::string what; // "begin", "perform", "end", "send", "custom"
    uint32_t index;
    uint32_t bits;
    float slotAtCall; // what slotValues held for that slot when the call was made
    std::string text;
};

struct Recorder {
    std::vector<Call> calls;
    float slots[4] = {0, 0, 0, 0};
    PageDispatchTable table;
};

Recorder* recorderOf(void* user) {
    return static_cast<Recorder*>(user);
}

void record(void* user, const char* what, uint32_t index, float value) {
    Recorder* r = recorderOf(user);
    float slot = index < 4 ? r->slots[index] : -12345.0f;
    r->calls.push_back({what, index, floatBits(value), slot, ""});
}

void onBegin(void* user, uint32_t index, float value) {
    record(user, "begin", index, value);
}
void onPerform(void* user, uint32_t index, float value) {
    record(user, "perform", index, value);
}
void onEnd(void* user, uint32_t index, float value) {
    record(user, "end", index, value);
}
void onSend(void* user, uint32_t index, float value) {
    record(user, "send", index, value);
}
void onCustom(void* user, const char* text) {
    recorderOf(user)->calls.push_back({"custom", 0, 0, 0, text});
}

class PageProtocol : public ::testing::Test {
  protected:
    Recorder rec;
    void SetUp() override {
        rec.table = {&rec, onBegin, onPerform, onEnd, nullptr, onSend, rec.slots, 4};
    }
    void dispatch(const char* message) { dispatchPageMessage(&rec.table, message); }
    void expectNothingHappened() {
        EXPECT_TRUE(rec.calls.empty());
        for (float v : rec.slots)
            EXPECT_EQ(floatBits(v), 0u);
    }
};

std::wstring formatted(uint32_t index, float value) {
    wchar_t out[PAGE_VALUE_MESSAGE_CHARS];
    wmemset(out, L'#', PAGE_VALUE_MESSAGE_CHARS);
    formatValueMessage(out, index, value);
    return out;
}

TEST_F(PageProtocol, EditMessagesStoreTheValueBeforeCallingTheMatchingEdit) {
    dispatch("b 2 40e00000");
    dispatch("s 2 41000000");
    dispatch("e 2 40E00000");
    ASSERT_EQ(rec.calls.size(), 3u);
    const char* kinds[] = {"begin", "perform", "end"};
    const uint32_t bits[] = {0x40e00000, 0x41000000, 0x40e00000};
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(rec.calls[i].what, kinds[i]);
        EXPECT_EQ(rec.calls[i].index, 2u);
        EXPECT_EQ(rec.calls[i].bits, bits[i]);
        EXPECT_EQ(floatBits(rec.calls[i].slotAtCall), bits[i]) << "slot stored before the call";
    }
    EXPECT_EQ(rec.slots[2], 7.0f);
    EXPECT_EQ(floatBits(rec.slots[0]) | floatBits(rec.slots[1]) | floatBits(rec.slots[3]), 0u);
}

TEST_F(PageProtocol, ValuesKeepTheirExactBits) {
    dispatch("s 0 80000000"); // negative zero
    dispatch("s 1 3fc00001"); // not a whole number
    dispatch("s 3 7fc00001"); // a NaN pattern
    ASSERT_EQ(rec.calls.size(), 3u);
    EXPECT_EQ(rec.calls[0].bits, 0x80000000u);
    EXPECT_EQ(rec.calls[1].bits, 0x3fc00001u);
    EXPECT_EQ(rec.calls[2].bits, 0x7fc00001u);
    EXPECT_EQ(floatBits(rec.slots[0]), 0x80000000u);
    EXPECT_EQ(floatBits(rec.slots[3]), 0x7fc00001u);
}

TEST_F(PageProtocol, NumbersReadLikeTheHexScanDirective) {
    dispatch("s 00000003 41700000");    // leading zeros
    dispatch("b\t1\t\t3F800000 trail"); // any second character, tabs, trailing text
    dispatch("e 0x1 0X40000000");       // 0x prefixes
    dispatch("s 1-1");                  // the second number may follow without a blank
    ASSERT_EQ(rec.calls.size(), 4u);
    EXPECT_EQ(rec.calls[0].index, 3u);
    EXPECT_EQ(rec.calls[0].bits, 0x41700000u);
    EXPECT_EQ(rec.calls[1].what, "begin");
    EXPECT_EQ(rec.calls[1].bits, 0x3f800000u);
    EXPECT_EQ(rec.calls[2].bits, 0x40000000u);
    EXPECT_EQ(rec.calls[3].bits, 0xffffffffu);
}

TEST_F(PageProtocol, MalformedOrOutOfRangeEditsAreIgnored) {
    const char* ignored[] = {
        "",
        "b",
        "s ",
        "s 1",
        "s 1 ",
        "e zz 1",
        "s 1 zz",
        "s 4 3f800000",
        "s ffffffff 0",
        "s 1 100000000",
        "s 100000000 0",
        "S 0 3f800000",
        "x 0 3f800000",
        "G",
        "b2 3f800000",
    };
    for (const char* message : ignored)
        dispatch(message);
    expectNothingHappened();
}

TEST_F(PageProtocol, GetAllSendsEverySlotInAscendingOrderWithoutStoring) {
    rec.slots[0] = 15.0f;
    rec.slots[1] = 3.0f;
    rec.slots[2] = -0.0f;
    rec.slots[3] = 248.0f;
    dispatch("g");
    dispatch("g and anything after it");
    ASSERT_EQ(rec.calls.size(), 8u);
    for (uint32_t i = 0; i < 8; i++) {
        EXPECT_EQ(rec.calls[i].what, "send");
        EXPECT_EQ(rec.calls[i].index, i % 4);
        EXPECT_EQ(rec.calls[i].bits, floatBits(rec.slots[i % 4]));
    }
}

TEST_F(PageProtocol, CustomTextReachesTheHandlerOnlyWhenOneIsInstalled) {
    dispatch("m hello page");
    EXPECT_TRUE(rec.calls.empty());
    rec.table.onCustomMessage = onCustom;
    dispatch("m hello page");
    dispatch("m");
    dispatch("m ");
    ASSERT_EQ(rec.calls.size(), 3u);
    EXPECT_EQ(rec.calls[0].text, "hello page");
    EXPECT_EQ(rec.calls[1].text, "");
    EXPECT_EQ(rec.calls[2].text, "");
}

TEST_F(PageProtocol, LongMessagesAreDispatchedLikeShortOnes) {
    std::string message = "s 1 40400000";
    message.append(1100, ' ');
    dispatch(message.c_str());
    ASSERT_EQ(rec.calls.size(), 1u);
    EXPECT_EQ(rec.calls[0].bits, 0x40400000u);
}

TEST(ValueMessage, IsTheLetterAndTwoEightDigitLowerCaseHexNumbers) {
    EXPECT_EQ(formatted(2, 7.0f), L"s 00000002 40e00000");
    EXPECT_EQ(formatted(0, 15.0f), L"s 00000000 41700000");
    EXPECT_EQ(formatted(3, 248.0f), L"s 00000003 43780000");
    EXPECT_EQ(formatted(0xabcdef12u, -0.0f), L"s abcdef12 80000000");
    EXPECT_EQ(formatted(1, floatFromBits(0x7fc00001)), L"s 00000001 7fc00001");
}

TEST(ValueMessage, ReadsBackThroughThePageGrammarWithTheSameBits) {
    const uint32_t patterns[] = {0u, 0x80000000u, 0x3f800001u, 0x437f0000u, 0xff800000u};
    for (uint32_t bits : patterns) {
        std::wstring wide = formatted(1, floatFromBits(bits));
        std::string narrow(wide.begin(), wide.end());
        Recorder rec;
        rec.table = {&rec, onBegin, onPerform, onEnd, nullptr, onSend, rec.slots, 4};
        dispatchPageMessage(&rec.table, narrow.c_str());
        ASSERT_EQ(rec.calls.size(), 1u);
        EXPECT_EQ(rec.calls[0].bits, bits);
    }
}

} // namespace
