# Helpers shared by every folder's CMakeLists.

# velum_test(<name> SOURCES <files...> LIBS <targets...> [LABELS <labels...>]): one GoogleTest
# program, one CTest entry. On the Windows build it runs under wine (see cmake/wine-run.sh).
# The label "threads" marks the suites the ThreadSanitizer build runs.
function(velum_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest_main)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 600 LABELS "${ARG_LABELS}")
endfunction()

# velum_library(<name> <sources...>): a static part of the plug-ins, position independent.
function(velum_library name)
    add_library(${name} STATIC ${ARGN})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()
