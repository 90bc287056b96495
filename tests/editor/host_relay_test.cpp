// Page messages and parameter values through a running editor under wine: edits reach the wrapper
// on the owner thread in order, values reach the page exactly, the hand-over inside an edit
// callback, the relay drain, and both streams at once without deadlock or loss.
#include "tests/editor/host_harness.h"

#include <math.h>

#include <algorithm>
#include <string>
#include <thread>

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

class EditorRelay : public EditorHostTest {
  protected:
    void SetUp() override {
        EditorHostTest::SetUp();
        host = open(recorder, true, record_custom_message);
        ASSERT_NE(nullptr, host);
        customTexts().clear();
    }
    void TearDown() override {
        if (host) close(host, 0);
        host = nullptr;
        EditorHostTest::TearDown();
    }
    // [editor thread] The custom-message handler; the owner reads the texts after the event.
    static void record_custom_message(WebViewHost*, const char* text) {
        customTexts().push_back(text);
    }
    static std::vector<std::string>& customTexts() {
        static std::vector<std::string> texts;
        return texts;
    }
    std::vector<std::string> events(const char* prefix) { return with_prefix(fake_log(0), prefix); }
    // [test thread] Waits, dispatching nothing, until the editor thread's relay request is queued.
    bool relay_request_queued() {
        MSG queued = {};
        DWORD start = GetTickCount();
        while (!PeekMessageW(&queued, host->relayWindow, 0, 0, PM_NOREMOVE) &&
               GetTickCount() - start < 10000)
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_POSTMESSAGE);
        return queued.hwnd == host->relayWindow;
    }

    WebViewHost* host = nullptr;
};

TEST_F(EditorRelay, PageGesturesReachTheWrapperOnTheOwnerThreadInOrderWithExactBits) {
    const wchar_t* messages[] = {L"b 2 40e00000", L"s 2 40E00000", L"s 0 80000000",
                                 L"s 1 3fc00000", L"e 2 40e00000", L"s 03 000000ff"};
    for (const wchar_t* message : messages)
        page_sends(0, message);
    EXPECT_THAT(recorder.edits,
                ElementsAre(Edit{'b', 2, 0x40e00000, true}, Edit{'s', 2, 0x40e00000, true},
                            Edit{'s', 0, 0x80000000, true}, Edit{'s', 1, 0x3fc00000, true},
                            Edit{'e', 2, 0x40e00000, true}, Edit{'s', 3, 0x000000ff, true}));
    EXPECT_THAT(events("WebMessageReceived answered "),
                ElementsAreArray(std::vector<std::string>(6, "0x00000000")));
    EXPECT_TRUE(page_messages(0).empty()) << "the editor never echoes an edit by itself";
}

TEST_F(EditorRelay, GetAllAnswersEverySlotInOrderWithTheLatestValues) {
    setParameterValue(host, 0, 15.0f);
    setParameterValue(host, 1, 0.0f);
    setParameterValue(host, 2, 7.0f);
    setParameterValue(host, 3, 248.0f);
    page_sends(0, L"s 1 zz"); // unreadable bits: ignored
    page_sends(0, L"s 1 40400000");
    page_sends(0, L"g");
    std::vector<std::string> sent = page_messages(0);
    ASSERT_EQ(8u, sent.size());
    EXPECT_THAT(std::vector<std::string>(sent.begin() + 4, sent.end()),
                ElementsAre("s 00000000 41700000", value_message(1, 3.0f), "s 00000002 40e00000",
                            value_message(3, 248.0f)));
}

TEST_F(EditorRelay, MessagesThatAreNotCommandsOrNameNoSlotChangeNothing) {
    setParameterValue(host, 1, 5.0f);
    const wchar_t* ignored[] = {L"S 1 3f800000",        L"x 1 3f800000", L"",  L"s 4 3f800000",
                                L"s ffffffff 3f800000", L"b zz",         L"e", L"g"};
    for (const wchar_t* message : ignored)
        page_sends(0, message);
    EXPECT_TRUE(recorder.edits.empty());
    EXPECT_EQ(5u, page_messages(0).size()) << "only the value and the answer to g";
    page_sends(0, L"g");
    EXPECT_EQ(value_message(1, 5.0f), page_messages(0)[6]) << "slot 1 kept its value";
    EXPECT_THAT(events("WebMessageReceived answered "),
                ElementsAreArray(std::vector<std::string>(9, "0x00000000")));
}

TEST_F(EditorRelay, AMessageThatIsNotAStringOrNotValidUtf16IsAnsweredWithAnError) {
    page_sends(0, nullptr);
    page_sends(0, L"s 1 3f800000 \xd800");
    EXPECT_THAT(events("WebMessageReceived answered "), ElementsAre("0x80070057", "0x80070459"));
    EXPECT_TRUE(recorder.edits.empty());
}

TEST_F(EditorRelay, LongMessagesAreDispatchedLikeShortOnes) {
    std::wstring edit = L"s 1 40000000 ";
    std::wstring custom = L"m ";
    std::string expected;
    for (int i = 0; i < 550; i++) {
        edit += L"\u00e9";
        custom += L"\u00e9";
        expected += "\xc3\xa9";
    }
    page_sends(0, edit.c_str()); // 1113 bytes once converted to UTF-8
    page_sends(0, custom.c_str());
    EXPECT_THAT(recorder.edits, ElementsAre(Edit{'s', 1, 0x40000000, true}));
    EXPECT_THAT(customTexts(), ElementsAre(expected));
}

TEST_F(EditorRelay, CustomTextReachesThePageAfterTheMarker) {
    sendCustomMessage(host, "hello \xc3\xbc");
    sendCustomMessage(host, "bad \xff utf-8");
    sendCustomMessage(host, "");
    EXPECT_THAT(page_messages(0), ElementsAre("m hello \xc3\xbc", "m "));
}

TEST_F(EditorRelay, AValueSentFromInsideAnEditCallbackIsHandedOverWithoutBlocking) {
    recorder.onEdit = [this](const Edit& edit) {
        float echoed;
        memcpy(&echoed, &edit.bits, sizeof echoed);
        setParameterValue(host, edit.index, roundf(echoed));
        setParameterValue(host, 3, 100.0f + edit.index);
    };
    page_sends(0, L"s 0 40e66666"); // 7.2
    page_sends(0, L"e 2 3f000000"); // 0.5
    EXPECT_THAT(page_messages(0), ElementsAre(value_message(0, 7.0f), value_message(3, 100.0f),
                                              value_message(2, 1.0f), value_message(3, 102.0f)));
    recorder.onEdit = nullptr;
    page_sends(0, L"g");
    std::vector<std::string> sent = page_messages(0);
    ASSERT_EQ(8u, sent.size()) << "four handed over, four answering g";
    EXPECT_EQ(value_message(0, 7.0f), sent[4]) << "the handed-over value is the slot's value";
    EXPECT_EQ(value_message(2, 1.0f), sent[6]);
    EXPECT_EQ(value_message(3, 102.0f), sent[7]);
}

TEST_F(EditorRelay, EditsQueuedOnTheRelayWindowReachTheWrapperBeforeALaterValue) {
    ASSERT_EQ(0, fake_wv2_post_page_message(0, L"s 1 41200000"));
    ASSERT_TRUE(relay_request_queued()) << "the edit waits on the relay window";
    size_t sentBefore = 0;
    recorder.onEdit = [&](const Edit&) { sentBefore = page_messages(0).size(); };
    setParameterValue(host, 1, 3.0f);
    EXPECT_THAT(recorder.edits, ElementsAre(Edit{'s', 1, 0x41200000, true}));
    EXPECT_EQ(0u, sentBefore) << "the edit reached the wrapper before the value left";
    EXPECT_THAT(page_messages(0), ElementsAre(value_message(1, 3.0f)));
    await_events(0, 1);
}

TEST_F(EditorRelay, ValuesFromAnotherThreadKeepTheirExactBits) {
    const float values[] = {7.0f, -0.0f, 0.1f, 1e-40f, 255.0f};
    std::thread sender([&] {
        for (float value : values)
            setParameterValue(host, 2, value);
    });
    pump_until([] { return page_messages(0).size() == 5; });
    sender.join();
    std::vector<std::string> expected;
    for (float value : values)
        expected.push_back(value_message(2, value));
    EXPECT_THAT(page_messages(0), ElementsAreArray(expected));
}

TEST_F(EditorRelay, StreamsOfPageEditsAndOwnerValuesAtOnceLoseNothing) {
    enum { COUNT = 300 };
    std::vector<Edit> expectedEdits;
    std::vector<std::string> expectedValues;
    for (uint32_t i = 0; i < COUNT; i++) {
        wchar_t message[32];
        swprintf(message, 32, L"s %x %x", i % 3, bits_of((float)i));
        ASSERT_EQ(0, fake_wv2_post_page_message(0, message));
        expectedEdits.push_back(Edit{'s', i % 3, bits_of((float)i), true});
        if (i % 2) recorder.onEdit = [&](const Edit&) { setParameterValue(host, 3, -1.0f); };
        setParameterValue(host, 3, (float)i);
        recorder.onEdit = nullptr;
        expectedValues.push_back(value_message(3, (float)i));
    }
    await_events(0, COUNT);
    EXPECT_THAT(recorder.edits, ElementsAreArray(expectedEdits));
    std::vector<std::string> sent = page_messages(0);
    std::vector<std::string> values;
    for (const std::string& message : sent)
        if (message != value_message(3, -1.0f)) values.push_back(message);
    EXPECT_THAT(values, ElementsAreArray(expectedValues));
}

// A host thread other than the owner sends a value while the owner echoes a page edit from inside
// the edit callback: both wait for the editor thread's answer at the same time, and each must get
// its own (a hand-over answer taken by the other thread would leave the owner waiting forever).
TEST_F(EditorRelay, AValueFromAnotherThreadWhileTheOwnerEchoesAnEditGetsThroughWithTheEcho) {
    recorder.onEdit = [this](const Edit& edit) { setParameterValue(host, edit.index, 1.0f); };
    ASSERT_EQ(0, fake_wv2_post_page_message(0, L"s 1 0"));
    ASSERT_TRUE(relay_request_queued()) << "the edit waits on the relay window";
    HANDLE sent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread sender([&] {
        setParameterValue(host, 3, 5.0f);
        SetEvent(sent);
    });
    // Let the other thread post its request and start waiting before the owner serves the edit.
    WaitForSingleObject(sent, 200);
    await_events(0, 1);
    EXPECT_TRUE(pump_until([&] { return WaitForSingleObject(sent, 0) == WAIT_OBJECT_0; }));
    sender.join();
    CloseHandle(sent);
    std::vector<std::string> messages = page_messages(0);
    std::sort(messages.begin(), messages.end());
    EXPECT_THAT(messages, ElementsAre(value_message(1, 1.0f), value_message(3, 5.0f)));
    EXPECT_THAT(recorder.edits, ElementsAre(Edit{'s', 1, 0, true}));
}

TEST_F(EditorRelay, StreamsFromAnotherThreadDuringEchoedPageEditsLoseNothing) {
    enum { COUNT = 200 };
    recorder.onEdit = [this](const Edit& edit) { setParameterValue(host, edit.index, 1.0f); };
    std::thread sender([&] {
        for (uint32_t i = 0; i < COUNT; i++)
            setParameterValue(host, 3, (float)i);
    });
    for (uint32_t i = 0; i < COUNT; i++)
        ASSERT_EQ(0, fake_wv2_post_page_message(0, L"s 1 0"));
    await_events(0, COUNT);
    pump_until([] { return page_messages(0).size() >= 2 * COUNT; });
    sender.join();
    std::vector<std::string> fromSender, echoes;
    for (const std::string& message : page_messages(0))
        (message == value_message(1, 1.0f) ? echoes : fromSender).push_back(message);
    std::vector<std::string> expected;
    for (uint32_t i = 0; i < COUNT; i++)
        expected.push_back(value_message(3, (float)i));
    EXPECT_THAT(fromSender, ElementsAreArray(expected));
    EXPECT_EQ(size_t(COUNT), echoes.size());
    EXPECT_EQ(size_t(COUNT), recorder.edits.size());
}
