// Shared fixture of the editor host suites under wine: the folders the host reads, a parent window
// on the test thread (the owner thread, as in every host), recording wrapper callbacks, the fake
// runtime's record, and the checks that a closed or failed editor left nothing behind.
#pragma once

#include "editor/webview_host.h"
#include "tests/editor/fake_webview2/fake_webview2.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// Folders of the whole test program, made once: the loader folder is the program's own (the fake
// WebView2Loader.dll and rundll32.exe sit beside it); TMP points to a private empty folder.
struct HostFolders {
    std::string loader;       // UTF-8
    std::string emptyLoader;  // holds a WebView2Loader.dll without the loader export
    std::string page;         // UTF-8, with a non-ASCII name; holds index.html
    std::wstring temp;        // the private temporary folder (no trailing backslash)
    std::wstring rundll32Log; // where the fake rundll32.exe appends its command lines
};
const HostFolders& host_folders();

// One wrapper edit callback as the host delivered it.
struct Edit {
    char kind; // 'b', 's' or 'e'
    uint32_t index;
    uint32_t bits;
    bool onOwnerThread;
};

inline bool operator==(const Edit& a, const Edit& b) {
    return a.kind == b.kind && a.index == b.index && a.bits == b.bits &&
           a.onOwnerThread == b.onOwnerThread;
}
void PrintTo(const Edit& edit, std::ostream* out);

// What one editor's wrapper sees; the callbacks append to `edits`.
struct WrapperRecorder {
    const char* loaderFolder;
    const char* pageFolder;
    DWORD ownerThread;
    std::vector<Edit> edits;
    std::function<void(const Edit&)> onEdit; // runs inside the callback, after recording
    WebViewHostConfig config();
};

// [test thread] Serves the thread's messages until `done` holds or `ms` pass; returns done().
bool pump_until(const std::function<bool()>& done, DWORD ms = 10000);

uint32_t bits_of(float value);

// The fake runtime's record of `instance`, line by line.
std::vector<std::string> fake_log(int instance);
// The lines of `lines` that begin with `prefix`, with the prefix removed.
std::vector<std::string> with_prefix(const std::vector<std::string>& lines,
                                     const std::string& prefix);
// The texts the editor posted to the page of `instance`, in order.
std::vector<std::string> page_messages(int instance);
std::string value_message(uint32_t index, float value); // "s %08x %08x"
std::wstring user_data_folder(int instance);
bool path_exists(const std::wstring& path);
// Names of the entries of the private temporary folder.
std::vector<std::wstring> temp_entries();
bool thread_alive(DWORD threadId);

class EditorHostTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // [test thread] Opens an editor in `parent` (child mode) and remembers it for TearDown.
    WebViewHost* open(WrapperRecorder& recorder, bool childMode = true,
                      WebViewCustomMessageHandler onCustomMessage = nullptr);
    // [test thread] Closes it and checks that the editor of `instance` left nothing behind
    // (no check for a negative `instance`, while other editors are still open).
    void close(WebViewHost* host, int instance);
    // Everything a closed or failed editor of `instance` may leave behind is gone.
    void expect_nothing_left(int instance);
    // [test thread] Queues a page message and serves the owner thread until it has been handled.
    void page_sends(int instance, const wchar_t* text);
    // [test thread] Waits until `count` injected events of `instance` have been handled.
    void await_events(int instance, long count);
    HWND make_parent();

    HWND parent = nullptr;
    WrapperRecorder recorder;
    std::vector<WebViewHost*> openHosts;
    std::vector<HWND> parents;
    std::vector<HWND> systemWindows; // the owner thread's windows that are not ours
    HANDLE finished = nullptr;       // set by TearDown; the watchdog ends the program without it
    HANDLE watchdog = nullptr;
};
