#include "tests/editor/host_harness.h"

#include <tlhelp32.h>

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <ostream>

static std::string to_utf8(const std::wstring& text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size - 1 : 0, '\0');
    if (size > 1)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], size, nullptr, nullptr);
    return out;
}

static std::wstring program_folder() {
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    while (length > 0 && path[length - 1] != L'\\')
        length--;
    return std::wstring(path, length > 0 ? length - 1 : 0);
}

static HostFolders make_folders() {
    HostFolders folders;
    std::wstring program = program_folder();
    wchar_t systemTemp[MAX_PATH];
    GetTempPathW(MAX_PATH, systemTemp);
    // Process ids repeat under wine; the tick count keeps each run's folders apart.
    std::wstring run = std::wstring(systemTemp) + L"velum-editor-" +
                       std::to_wstring(GetCurrentProcessId()) + L"-" +
                       std::to_wstring(GetTickCount());
    CreateDirectoryW(run.c_str(), nullptr);
    folders.temp = run + L"\\tmp";
    CreateDirectoryW(folders.temp.c_str(), nullptr);
    // The host reserves its temporary name through GetTempPathW, which reads TMP first.
    SetEnvironmentVariableW(L"TMP", folders.temp.c_str());
    SetEnvironmentVariableW(L"TEMP", folders.temp.c_str());
    std::wstring page = run + L"\\p\u00e4ge";
    CreateDirectoryW(page.c_str(), nullptr);
    HANDLE file = CreateFileW((page + L"\\index.html").c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, "<!doctype html>", 15, &written, nullptr);
    CloseHandle(file);
    folders.loader = to_utf8(program);
    folders.emptyLoader = to_utf8(program + L"\\empty_loader");
    folders.page = to_utf8(page);
    folders.rundll32Log = run + L"\\rundll32.log";
    SetEnvironmentVariableW(L"VELUM_FAKE_RUNDLL32_LOG", folders.rundll32Log.c_str());
    return folders;
}

const HostFolders& host_folders() {
    static const HostFolders folders = make_folders();
    return folders;
}

void PrintTo(const Edit& edit, std::ostream* out) {
    char text[64];
    snprintf(text, sizeof text, "%c %u %08x%s", edit.kind, edit.index, edit.bits,
             edit.onOwnerThread ? "" : " (not on the owner thread)");
    *out << text;
}

template <char kind>
static void record_edit(void* userData, uint32_t index, float value) {
    WrapperRecorder* recorder = (WrapperRecorder*)userData;
    Edit edit = {kind, index, bits_of(value), GetCurrentThreadId() == recorder->ownerThread};
    recorder->edits.push_back(edit);
    if (recorder->onEdit) recorder->onEdit(edit);
}

static const char* loader_folder(void* userData) {
    return ((WrapperRecorder*)userData)->loaderFolder;
}
static const char* page_folder(void* userData) {
    return ((WrapperRecorder*)userData)->pageFolder;
}

WebViewHostConfig WrapperRecorder::config() {
    return {this,
            "vst3",
            loader_folder,
            page_folder,
            record_edit<'b'>,
            record_edit<'s'>,
            record_edit<'e'>};
}

bool pump_until(const std::function<bool()>& done, DWORD ms) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > ms) return done();
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return true;
}

uint32_t bits_of(float value) {
    uint32_t bits;
    memcpy(&bits, &value, sizeof bits);
    return bits;
}

std::vector<std::string> fake_log(int instance) {
    size_t length = fake_wv2_log(instance, nullptr, 0);
    std::string text(length + 1, '\0');
    fake_wv2_log(instance, &text[0], text.size());
    text.resize(length);
    std::vector<std::string> lines;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::vector<std::string> with_prefix(const std::vector<std::string>& lines,
                                     const std::string& prefix) {
    std::vector<std::string> found;
    for (const std::string& line : lines)
        if (line.compare(0, prefix.size(), prefix) == 0)
            found.push_back(line.substr(prefix.size()));
    return found;
}

std::vector<std::string> page_messages(int instance) {
    return with_prefix(fake_log(instance), "PostWebMessageAsString ");
}

std::string value_message(uint32_t index, float value) {
    char text[32];
    snprintf(text, sizeof text, "s %08x %08x", index, bits_of(value));
    return text;
}

std::wstring user_data_folder(int instance) {
    wchar_t folder[MAX_PATH] = L"";
    fake_wv2_user_data_folder(instance, folder, MAX_PATH);
    return folder;
}

bool path_exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::wstring> temp_entries() {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((host_folders().temp + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (wcscmp(found.cFileName, L".") && wcscmp(found.cFileName, L".."))
            names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

bool thread_alive(DWORD threadId) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    bool alive = false;
    for (BOOL more = Thread32First(snapshot, &entry); more && !alive;
         more = Thread32Next(snapshot, &entry))
        alive = entry.th32OwnerProcessID == GetCurrentProcessId() && entry.th32ThreadID == threadId;
    CloseHandle(snapshot);
    return alive;
}

static bool class_registered(const std::string& name) {
    WNDCLASSEXA found = {};
    found.cbSize = sizeof found;
    return GetClassInfoExA(GetModuleHandleA(nullptr), name.c_str(), &found) != 0;
}

static BOOL CALLBACK collect_window(HWND window, LPARAM lParam) {
    ((std::vector<HWND>*)lParam)->push_back(window);
    return TRUE;
}

static LRESULT CALLBACK parent_procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND EditorHostTest::make_parent() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = parent_procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"VelumTestHostWindow";
    RegisterClassW(&windowClass); // once per program; later calls fail harmlessly
    HWND window = CreateWindowExW(0, L"VelumTestHostWindow", L"host", WS_OVERLAPPEDWINDOW, 0, 0,
                                  900, 700, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ShowWindow(window, SW_SHOW);
    parents.push_back(window);
    return window;
}

// A deadlock would hang the whole program until CTest's limit; end it at once with the test's name.
static DWORD WINAPI watch_for_deadlock(void* finished) {
    if (WaitForSingleObject((HANDLE)finished, 120000) == WAIT_OBJECT_0) return 0;
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    fprintf(stderr, "\n%s.%s did not finish within two minutes: deadlock\n",
            test ? test->test_suite_name() : "?", test ? test->name() : "?");
    fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
    return 0;
}

void EditorHostTest::SetUp() {
    finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    watchdog = CreateThread(nullptr, 0, watch_for_deadlock, finished, 0, nullptr);
    const HostFolders& folders = host_folders();
    fake_wv2_reset(0);
    DeleteFileW(folders.rundll32Log.c_str());
    recorder.loaderFolder = folders.loader.c_str();
    recorder.pageFolder = folders.page.c_str();
    recorder.ownerThread = GetCurrentThreadId();
    parent = make_parent();
    ASSERT_NE(nullptr, parent);
    // The system's own windows of the thread (wine's IME window) exist from the first window on.
    systemWindows.clear();
    EnumThreadWindows(GetCurrentThreadId(), collect_window, (LPARAM)&systemWindows);
}

void EditorHostTest::TearDown() {
    for (WebViewHost* host : openHosts)
        destroy(host);
    openHosts.clear();
    for (HWND window : parents)
        if (IsWindow(window)) DestroyWindow(window);
    pump_until([] { return fake_wv2_live_objects() == 0; }, 3000);
    EXPECT_EQ(0, fake_wv2_live_objects()) << "fake runtime objects never released";
    EXPECT_EQ(0, fake_wv2_held_references()) << "editor objects the fake kept";
    SetEvent(finished);
    WaitForSingleObject(watchdog, INFINITE);
    CloseHandle(watchdog);
    CloseHandle(finished);
}

WebViewHost* EditorHostTest::open(WrapperRecorder& wrapper, bool childMode,
                                  WebViewCustomMessageHandler onCustomMessage) {
    WebViewHostConfig config = wrapper.config();
    WebViewHost* host =
        create(childMode, childMode ? parent : nullptr, &config, onCustomMessage, 800, 600, 4);
    if (host) openHosts.push_back(host);
    return host;
}

void EditorHostTest::close(WebViewHost* host, int instance) {
    openHosts.erase(std::remove(openHosts.begin(), openHosts.end(), host), openHosts.end());
    destroy(host);
    if (instance >= 0) expect_nothing_left(instance);
}

void EditorHostTest::expect_nothing_left(int instance) {
    DWORD editorThread = fake_wv2_thread_id(instance);
    EXPECT_TRUE(pump_until([&] { return !thread_alive(editorThread); }))
        << "editor thread still running";
    char editorClass[64] = "";
    fake_wv2_caller_window_class(instance, editorClass, sizeof editorClass);
    ASSERT_EQ('c', editorClass[0]) << "the editor window class is named c<host address>";
    EXPECT_FALSE(class_registered(editorClass)) << editorClass;
    EXPECT_FALSE(class_registered(std::string("d") + (editorClass + 1))) << "relay class";
    std::wstring folder = user_data_folder(instance);
    EXPECT_FALSE(path_exists(folder)) << "user data folder";
    EXPECT_FALSE(path_exists(folder + L".tmp")) << "reserved temporary file";
    EXPECT_TRUE(temp_entries().empty());
    std::vector<HWND> ownWindows, children;
    EnumThreadWindows(GetCurrentThreadId(), collect_window, (LPARAM)&ownWindows);
    for (HWND window : ownWindows) {
        char name[64] = "";
        GetClassNameA(window, name, sizeof name);
        bool known =
            std::find(parents.begin(), parents.end(), window) != parents.end() ||
            std::find(systemWindows.begin(), systemWindows.end(), window) != systemWindows.end();
        EXPECT_TRUE(known) << "a window of the owner thread besides the parents: " << name;
    }
    for (HWND window : parents)
        if (IsWindow(window)) EnumChildWindows(window, collect_window, (LPARAM)&children);
    EXPECT_TRUE(children.empty()) << "windows left inside the parent";
    EXPECT_TRUE(pump_until([] { return fake_wv2_live_objects() == 0; }, 3000))
        << fake_wv2_live_objects() << " fake runtime objects never released";
    EXPECT_EQ(0, fake_wv2_held_references());
    std::vector<std::string> log = fake_log(instance);
    EXPECT_TRUE(with_prefix(log, "wrong thread: ").empty())
        << "WebView2 used off the editor thread";
    EXPECT_TRUE(with_prefix(log, "unexpected ").empty());
    EXPECT_TRUE(with_prefix(log, "after Close").empty());
}

void EditorHostTest::page_sends(int instance, const wchar_t* text) {
    long before = fake_wv2_events_done(instance);
    ASSERT_EQ(0, fake_wv2_post_page_message(instance, text));
    await_events(instance, before + 1);
}

void EditorHostTest::await_events(int instance, long count) {
    ASSERT_TRUE(pump_until([&] { return fake_wv2_events_done(instance) >= count; }))
        << "the editor never finished handling the event";
}
