// A "WebView2Loader.dll" without CreateCoreWebView2EnvironmentWithOptions, for the start-up test
// that a loader lacking the export makes the editor fail cleanly.
extern "C" __declspec(dllexport) int velum_fake_loader_without_export(void) {
    return 0;
}
