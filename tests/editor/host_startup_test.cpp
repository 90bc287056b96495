// Start-up and shutdown of the editor host under wine: what it asks of the runtime, in which
// order, which files and folders live how long, and that every failure leaves nothing behind.
#include "tests/editor/host_harness.h"

#include <string>

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

class EditorStartup : public EditorHostTest {};

TEST_F(EditorStartup, ConfiguresTheRuntimeLocksTheBrowserDownAndNavigatesToThePage) {
    WebViewHost* host = open(recorder);
    ASSERT_NE(nullptr, host);
    ASSERT_EQ(1, fake_wv2_instance_count());
    std::vector<std::string> log = fake_log(0);

    std::wstring folder = user_data_folder(0);
    std::wstring temp = host_folders().temp + L"\\vin"; // the system keeps three prefix letters
    EXPECT_EQ(temp, folder.substr(0, temp.size())) << "the user data folder is the reserved name";
    EXPECT_FALSE(path_exists(folder + L".tmp")) << "the reserved file is gone once create returns";
    EXPECT_TRUE(path_exists(folder))
        << "the runtime's user data folder lives while the editor is open";
    EXPECT_THAT(with_prefix(log, "CreateCoreWebView2EnvironmentWithOptions "),
                ElementsAre(StartsWith("browserExecutableFolder=(null) userDataFolder=")));
    EXPECT_THAT(
        with_prefix(log, "option "),
        ElementsAre("AdditionalBrowserArguments=--allow-file-access-from-files (0x00000000)",
                    "Language=(null) (0x00000000)",
                    "TargetCompatibleBrowserVersion=131.0.2903.40 (0x00000000)",
                    "AllowSingleSignOnUsingOSPrimaryAccount=0 (0x00000000)"));

    EXPECT_THAT(with_prefix(log, "version copies "), ElementsAre("separate"));

    // COM rules of the objects the editor hands the runtime: each answers its own interface and
    // IUnknown (the handler's five interfaces with one identity), refuses others with a null
    // output, and refuses a null output pointer.
    const std::string answers = "own=0x00000000 same IUnknown=0x00000000 ";
    const std::string refusals = "unlisted=0x80004002 null nullOut=0x80004003";
    EXPECT_THAT(with_prefix(log, "options "), ElementsAre(answers + "- " + refusals));
    for (const char* handler : {"environment handler ", "controller handler ",
                                "web message handler ", "navigation handler "})
        EXPECT_THAT(with_prefix(log, handler), ElementsAre(answers + "identity " + refusals))
            << handler;
    EXPECT_THAT(with_prefix(log, "new window handler "),
                ElementsAre(HasSubstr("IUnknown=0x00000000 identity " + refusals)));

    EXPECT_EQ(host->editorWindow, fake_wv2_controller_parent(0));
    std::vector<std::string> configuration;
    for (const std::string& line : log)
        if (line.compare(0, 4, "put_") == 0 || line.compare(0, 4, "add_") == 0 ||
            line.compare(0, 9, "Navigate ") == 0 || line == "get_Settings")
            configuration.push_back(line);
    std::string page = "Navigate " + host_folders().page + "\\index.html";
    ASSERT_GE(configuration.size(), 19u);
    std::vector<std::string> afterwards(configuration.begin() + 19, configuration.end());
    configuration.resize(19);
    EXPECT_THAT(
        configuration,
        ElementsAre(
            "get_Settings", "put_AreDefaultContextMenusEnabled 0", "put_AreDevToolsEnabled 0",
            "put_IsStatusBarEnabled 0", "put_IsZoomControlEnabled 0",
            "put_AreDefaultScriptDialogsEnabled 0", "put_AreBrowserAcceleratorKeysEnabled 0",
            "put_IsPasswordAutosaveEnabled 0", "put_IsGeneralAutofillEnabled 0",
            "put_IsPinchZoomEnabled 0", "put_IsSwipeNavigationEnabled 0", "put_AllowExternalDrop 0",
            "put_IsScriptEnabled 1", "put_AreHostObjectsAllowed 1", StartsWith("put_Bounds "),
            "add_WebMessageReceived", "add_NavigationStarting", "add_NewWindowRequested", page));
    EXPECT_THAT(with_prefix(afterwards, "put_IsVisible "), ElementsAre("1"))
        << "shown once the controller is configured";
    EXPECT_THAT(with_prefix(log, "controller completion answered "), ElementsAre("0x00000000"));
    EXPECT_THAT(with_prefix(log, "environment completion answered "), ElementsAre("0x00000000"));

    // Shown inside the host's window by the time create returns.
    EXPECT_EQ(parent, GetAncestor(host->editorWindow, GA_PARENT));
    EXPECT_TRUE(pump_until([&] { return IsWindowVisible(host->editorWindow) != FALSE; }));
    RECT client;
    GetClientRect(host->editorWindow, &client);
    char bounds[64];
    snprintf(bounds, sizeof bounds, "%ld %ld %ld %ld", client.left, client.top, client.right,
             client.bottom);
    EXPECT_TRUE(pump_until([&] {
        return with_prefix(fake_log(0), "put_Bounds ").back() == bounds;
    })) << "the controller follows the window's client area, "
        << bounds;

    EXPECT_EQ(with_prefix(fake_log(0), "put_Bounds "), with_prefix(fake_log(0), "window client "))
        << "every bounds given is the editor window's client area at that moment";

    close(host, 0);
    EXPECT_THAT(with_prefix(fake_log(0), "Close"), ElementsAre(""));
}

TEST_F(EditorStartup, FollowsResizingAndFocusOfTheEditorWindow) {
    WebViewHost* host = open(recorder);
    ASSERT_NE(nullptr, host);
    SetWindowPos(host->editorWindow, nullptr, 0, 0, 400, 300, SWP_NOZORDER | SWP_NOMOVE);
    EXPECT_TRUE(
        pump_until([] { return with_prefix(fake_log(0), "put_Bounds ").back() == "0 0 400 300"; }));
    size_t focused = with_prefix(fake_log(0), "MoveFocus ").size();
    SendMessageW(host->editorWindow, WM_SETFOCUS, 0, 0);
    std::vector<std::string> moves = with_prefix(fake_log(0), "MoveFocus ");
    ASSERT_EQ(focused + 1, moves.size());
    EXPECT_EQ("0", moves.back()) << "programmatic focus move";
    idle(host);
    close(host, 0);
}

TEST_F(EditorStartup, OpensAsATopLevelWindowWithoutAParent) {
    WebViewHost* host = open(recorder, false);
    ASSERT_NE(nullptr, host);
    HWND ancestor = GetAncestor(host->editorWindow, GA_PARENT);
    EXPECT_TRUE(ancestor == nullptr || ancestor == GetDesktopWindow());
    EXPECT_TRUE(GetWindowLongPtrW(host->editorWindow, GWL_STYLE) & WS_CAPTION);
    EXPECT_TRUE(pump_until([&] { return IsWindowVisible(host->editorWindow) != FALSE; }));
    close(host, 0);
}

TEST_F(EditorStartup, RuntimesWithoutOptionalInterfacesOrWithFailingLockDownStillWork) {
    struct Case {
        unsigned failures;
        std::vector<std::string> absent;
    } cases[] = {
        {FAKE_WV2_NO_SETTINGS6, {"put_IsSwipeNavigationEnabled 0"}},
        {FAKE_WV2_NO_CONTROLLER4, {"put_AllowExternalDrop 0"}},
        {FAKE_WV2_NO_SETTINGS3_TO_6,
         {"put_AreBrowserAcceleratorKeysEnabled 0", "put_IsPasswordAutosaveEnabled 0",
          "put_IsGeneralAutofillEnabled 0", "put_IsPinchZoomEnabled 0",
          "put_IsSwipeNavigationEnabled 0"}},
        {FAKE_WV2_FAIL_LOCKDOWN, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failures);
        fake_wv2_reset(c.failures);
        WebViewHost* host = open(recorder);
        ASSERT_NE(nullptr, host);
        std::vector<std::string> log = fake_log(0);
        for (const std::string& call : c.absent)
            EXPECT_EQ(log.end(), std::find(log.begin(), log.end(), call)) << call;
        EXPECT_THAT(with_prefix(log, "put_IsVisible "), ElementsAre("1"));
        setParameterValue(host, 2, 7.0f);
        EXPECT_THAT(page_messages(0), ElementsAre("s 00000002 40e00000"));
        close(host, 0);
    }
}

TEST_F(EditorStartup, EveryRuntimeFailureReturnsNullAndLeavesNothingBehind) {
    const unsigned failures[] = {
        FAKE_WV2_FAIL_ENVIRONMENT_CALL, FAKE_WV2_FAIL_ENVIRONMENT_COMPLETION,
        FAKE_WV2_FAIL_CONTROLLER_CALL,  FAKE_WV2_FAIL_CONTROLLER_COMPLETION,
        FAKE_WV2_FAIL_GET_COREWEBVIEW2, FAKE_WV2_FAIL_GET_SETTINGS,
        FAKE_WV2_SCRIPT_ENABLE_S_FALSE, FAKE_WV2_FAIL_HOST_OBJECTS,
        FAKE_WV2_FAIL_PUT_BOUNDS,       FAKE_WV2_FAIL_ADD_WEB_MESSAGE,
        FAKE_WV2_FAIL_ADD_NAVIGATION,   FAKE_WV2_FAIL_ADD_NEW_WINDOW,
        FAKE_WV2_FAIL_NAVIGATE,         FAKE_WV2_FAIL_PUT_IS_VISIBLE,
    };
    for (unsigned failure : failures) {
        SCOPED_TRACE(failure);
        fake_wv2_reset(failure);
        WebViewHost* host = open(recorder);
        EXPECT_EQ(nullptr, host);
        if (host) continue;
        ASSERT_EQ(1, fake_wv2_instance_count());
        expect_nothing_left(0);
        std::vector<std::string> log = fake_log(0);
        bool controllerMade = failure != FAKE_WV2_FAIL_ENVIRONMENT_CALL &&
                              failure != FAKE_WV2_FAIL_ENVIRONMENT_COMPLETION &&
                              failure != FAKE_WV2_FAIL_CONTROLLER_CALL &&
                              failure != FAKE_WV2_FAIL_CONTROLLER_COMPLETION;
        EXPECT_EQ(failure == FAKE_WV2_FAIL_PUT_IS_VISIBLE, !with_prefix(log, "Close").empty())
            << "only a configured controller is closed";
        if (controllerMade && failure != FAKE_WV2_FAIL_PUT_IS_VISIBLE) {
            EXPECT_THAT(with_prefix(log, "controller completion answered "),
                        ElementsAre("0x80004005"));
        }
        if (failure == FAKE_WV2_FAIL_ENVIRONMENT_COMPLETION) {
            EXPECT_THAT(with_prefix(log, "environment completion answered "),
                        ElementsAre("0x80070002"));
        }
        EXPECT_TRUE(recorder.edits.empty());
    }
}

TEST_F(EditorStartup, AMissingOrIncompleteLoaderOrABadPageFolderFailsBeforeAnyThread) {
    std::string nowhere = host_folders().loader + "\\no such folder";
    std::wstring emptyLoader;
    for (char c : host_folders().emptyLoader)
        emptyLoader += (wchar_t)(unsigned char)c;
    emptyLoader += L"\\WebView2Loader.dll";
    struct Case {
        const char* loader;
        const char* page;
    } cases[] = {
        {nowhere.c_str(), host_folders().page.c_str()},
        {host_folders().emptyLoader.c_str(), host_folders().page.c_str()},
        {host_folders().loader.c_str(), "C:\\bad\xff\xfe page"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.loader);
        recorder.loaderFolder = c.loader;
        recorder.pageFolder = c.page;
        EXPECT_EQ(nullptr, open(recorder));
        EXPECT_EQ(0, fake_wv2_instance_count()) << "no editor thread reached the runtime";
        EXPECT_EQ(nullptr, GetModuleHandleW(emptyLoader.c_str())) << "the loader is freed";
        EXPECT_TRUE(temp_entries().empty());
        EXPECT_EQ(nullptr, FindWindowExW(parent, nullptr, nullptr, nullptr));
    }
}

TEST_F(EditorStartup, TwoEditorsAtOnceKeepTheirOwnClassesFoldersAndCallbacks) {
    WrapperRecorder second = recorder;
    WebViewHost* first = open(recorder);
    parent = make_parent();
    WebViewHost* other = open(second);
    ASSERT_NE(nullptr, first);
    ASSERT_NE(nullptr, other);
    EXPECT_STRNE(first->relayClassName, other->relayClassName);
    EXPECT_NE(user_data_folder(0), user_data_folder(1));
    page_sends(0, L"s 0 3f800000");
    page_sends(1, L"s 1 40000000");
    page_sends(0, L"m no custom handler"); // ignored without a handler
    EXPECT_THAT(recorder.edits, ElementsAre(Edit{'s', 0, 0x3f800000, true}));
    EXPECT_THAT(second.edits, ElementsAre(Edit{'s', 1, 0x40000000, true}));
    setParameterValue(other, 3, 200.0f);
    EXPECT_TRUE(page_messages(0).empty());
    EXPECT_THAT(page_messages(1), ElementsAre(value_message(3, 200.0f)));
    close(first, -1);
    EXPECT_FALSE(path_exists(user_data_folder(0)));
    setParameterValue(other, 3, 201.0f);
    EXPECT_THAT(page_messages(1), ElementsAre(value_message(3, 200.0f), value_message(3, 201.0f)));
    close(other, 1);
    expect_nothing_left(0);
}

TEST_F(EditorStartup, ClosingTheHostWindowFirstEndsTheEditorAndDestroyStillReclaimsIt) {
    WebViewHost* host = open(recorder);
    ASSERT_NE(nullptr, host);
    DWORD editorThread = host->editorThreadId;
    DestroyWindow(parent);
    EXPECT_TRUE(pump_until([&] { return !thread_alive(editorThread); }))
        << "the editor thread ends through WM_QUIT";
    setParameterValue(host, 0, 1.0f); // the editor window is gone: returns without waiting
    close(host, 0);
}
