// Navigation rules of a running editor under wine: local files stay in the editor, every other
// link is cancelled and opened once with the system's URL handler (a recording rundll32.exe
// beside this program, found before the system's).
#include "tests/editor/host_harness.h"

#include <stdio.h>

#include <string>

using ::testing::ElementsAre;

// The command lines the fake rundll32.exe recorded, one per start.
static std::vector<std::string> rundll32_starts() {
    std::vector<std::string> lines;
    FILE* file = _wfopen(host_folders().rundll32Log.c_str(), L"rb");
    if (!file) return lines;
    char line[8192];
    while (fgets(line, sizeof line, file)) {
        std::string text = line;
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.pop_back();
        lines.push_back(text);
    }
    fclose(file);
    return lines;
}

class EditorNavigation : public EditorHostTest {
  protected:
    void SetUp() override {
        EditorHostTest::SetUp();
        host = open(recorder);
        ASSERT_NE(nullptr, host);
    }
    void TearDown() override {
        if (host) close(host, 0);
        EditorHostTest::TearDown();
    }
    void navigate(const wchar_t* uri) {
        long before = fake_wv2_events_done(0);
        ASSERT_EQ(0, fake_wv2_start_navigation(0, uri));
        await_events(0, before + 1);
    }
    void new_window(const wchar_t* uri) {
        long before = fake_wv2_events_done(0);
        ASSERT_EQ(0, fake_wv2_request_new_window(0, uri));
        await_events(0, before + 1);
    }

    WebViewHost* host = nullptr;
};

TEST_F(EditorNavigation, AWebLinkIsCancelledAndOpenedExternallyOnce) {
    navigate(L"https://tamber.example/velum?from=editor&v=1");
    EXPECT_THAT(with_prefix(fake_log(0), "NavigationStarting "),
                ElementsAre("https://tamber.example/velum?from=editor&v=1 answered 0x00000000 "
                            "cancelled=1"));
    EXPECT_THAT(rundll32_starts(), ElementsAre("rundll32 url.dll,FileProtocolHandler "
                                               "\"https://tamber.example/velum?from=editor&v=1\""));
    setParameterValue(host, 0, 3.0f);
    EXPECT_THAT(page_messages(0), ElementsAre(value_message(0, 3.0f))) << "the page stays loaded";
}

TEST_F(EditorNavigation, LocalFilesProceedInsideTheEditorAndTheSchemeTestIsCaseSensitive) {
    navigate(L"file:///C:/velum/page/help.html");
    navigate(L"FILE:///C:/velum/page/help.html");
    EXPECT_THAT(with_prefix(fake_log(0), "navigated to "),
                ElementsAre("file:///C:/velum/page/help.html"));
    EXPECT_THAT(rundll32_starts(), ElementsAre("rundll32 url.dll,FileProtocolHandler "
                                               "\"FILE:///C:/velum/page/help.html\""));
}

TEST_F(EditorNavigation, ANewWindowForAWebAddressIsHandledAndOpenedExternally) {
    new_window(L"https://tamber.example/manual");
    new_window(L"file:///C:/velum/page/about.html");
    EXPECT_THAT(with_prefix(fake_log(0), "NewWindowRequested "),
                ElementsAre("https://tamber.example/manual answered 0x00000000 handled=1",
                            "file:///C:/velum/page/about.html answered 0x00000000 handled=0"));
    EXPECT_THAT(with_prefix(fake_log(0), "opened a new window for "),
                ElementsAre("file:///C:/velum/page/about.html"))
        << "a local new window is left to the runtime";
    EXPECT_THAT(
        rundll32_starts(),
        ElementsAre("rundll32 url.dll,FileProtocolHandler \"https://tamber.example/manual\""));
}

TEST_F(EditorNavigation, AQuoteInsideALinkCannotSplitTheCommandLine) {
    navigate(L"https://tamber.example/a\" --evil \"b");
    EXPECT_THAT(rundll32_starts(), ElementsAre("rundll32 url.dll,FileProtocolHandler "
                                               "\"https://tamber.example/a%22 --evil %22b\""));
}
