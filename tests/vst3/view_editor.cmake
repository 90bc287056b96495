# The editor view with the web editor open (Windows): copies of the built bundle, one whose module
# folder also holds the fake "WebView2Loader.dll" and the test program (so that the program and the
# module share that one runtime), one without the file and one whose file lacks the loader export.
set(view_bundles ${CMAKE_CURRENT_BINARY_DIR}/view_bundles)
set(loader_bundle ${view_bundles}/loader/tamber-velum.vst3)
set(no_loader_bundle ${view_bundles}/no_loader/tamber-velum.vst3)
set(empty_loader_bundle ${view_bundles}/empty_loader/tamber-velum.vst3)
add_custom_target(vst3_view_bundles
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${VELUM_VST3_BUNDLE} ${loader_bundle}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:fake_webview2>
        ${loader_bundle}/Contents/x86_64-win/
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${VELUM_VST3_BUNDLE} ${no_loader_bundle}
    COMMAND ${CMAKE_COMMAND} -E rm -f ${no_loader_bundle}/Contents/x86_64-win/WebView2Loader.dll
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${VELUM_VST3_BUNDLE} ${empty_loader_bundle}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:fake_webview2_empty>
        ${empty_loader_bundle}/Contents/x86_64-win/
    VERBATIM)
add_dependencies(vst3_view_bundles velum_vst3_module fake_webview2 fake_webview2_empty)

velum_test(vst3_view_editor_test SOURCES view_editor_test.cpp
    LIBS vst3_test_host editor_host_harness)
add_dependencies(vst3_view_editor_test vst3_view_bundles)
set_target_properties(vst3_view_editor_test PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${loader_bundle}/Contents/x86_64-win)
target_compile_definitions(vst3_view_editor_test PRIVATE
    VELUM_TEST_VST3_BUNDLE="${loader_bundle}"
    VELUM_TEST_VST3_BUNDLE_NO_LOADER="${no_loader_bundle}"
    VELUM_TEST_VST3_BUNDLE_EMPTY_LOADER="${empty_loader_bundle}")
