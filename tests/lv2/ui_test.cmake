# Which UI the bundle's manifest declares: the Windows UI, or none on Linux.
file(STRINGS ${PROJECT_SOURCE_DIR}/lv2/uris.h uri_line REGEX "^#define VELUM_LV2_URI ")
string(REGEX REPLACE "^.*\"(.*)\"$" "\\1" plugin_uri "${uri_line}")
add_test(NAME lv2_ui_manifest
    COMMAND ${CMAKE_COMMAND} -DMANIFEST=$<TARGET_FILE_DIR:tamber-velum-lv2>/manifest.ttl
        -DURI=${plugin_uri} -DBINARY=$<TARGET_FILE_NAME:tamber-velum-lv2> -DWINDOWS=${WIN32}
        -P ${CMAKE_CURRENT_SOURCE_DIR}/ui_manifest_check.cmake)
if(NOT WIN32)
    return()
endif()

# The LV2 UI with the web editor open (Windows): copies of the built bundle, one that also holds
# the fake "WebView2Loader.dll" and the test program (so that the program and the UI share that
# one runtime), one without the file and one whose file lacks the loader export.
set(ui_bundles ${CMAKE_CURRENT_BINARY_DIR}/ui_bundles)
set(built_bundle $<TARGET_FILE_DIR:tamber-velum-lv2>)
set(loader_bundle ${ui_bundles}/loader/tamber-velum.lv2)
set(no_loader_bundle ${ui_bundles}/no_loader/tamber-velum.lv2)
set(empty_loader_bundle ${ui_bundles}/empty_loader/tamber-velum.lv2)
add_custom_target(lv2_ui_bundles
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${built_bundle} ${loader_bundle}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:fake_webview2> ${loader_bundle}/
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${built_bundle} ${no_loader_bundle}
    COMMAND ${CMAKE_COMMAND} -E rm -f ${no_loader_bundle}/WebView2Loader.dll
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${built_bundle} ${empty_loader_bundle}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:fake_webview2_empty> ${empty_loader_bundle}/
    VERBATIM)
add_dependencies(lv2_ui_bundles tamber-velum-lv2 fake_webview2 fake_webview2_empty)

velum_test(lv2_ui_test SOURCES ui_test.cpp LIBS velum_lv2_headers editor_host_harness)
add_dependencies(lv2_ui_test lv2_ui_bundles)
set_target_properties(lv2_ui_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${loader_bundle})
target_compile_definitions(lv2_ui_test PRIVATE
    VELUM_TEST_LV2_BUNDLE="${loader_bundle}"
    VELUM_TEST_LV2_BUNDLE_NO_LOADER="${no_loader_bundle}"
    VELUM_TEST_LV2_BUNDLE_EMPTY_LOADER="${empty_loader_bundle}")
