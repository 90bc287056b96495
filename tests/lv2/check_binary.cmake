# cmake -DBINARY=<plug-in binary> -DWINDOWS=<bool> -P check_binary.cmake
# The binary exports lv2_descriptor and nothing else (on Windows also lv2ui_descriptor, the
# editor's UI); on Windows it imports only system DLLs.

# Runs `tool` on the binary; within the part of its output that `section` captures as group 1,
# lists what `entry` matches with `strip` cut away.
function(binary_names out tool section entry strip)
    execute_process(COMMAND ${tool} ${BINARY} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "${tool} failed on ${BINARY}")
    endif()
    string(REGEX MATCH "${section}" part "${dump}")
    string(REGEX MATCHALL "${entry}" entries "${CMAKE_MATCH_1}")
    set(names "")
    foreach(e ${entries})
        string(REGEX REPLACE "${strip}" "" name "${e}")
        list(APPEND names ${name})
    endforeach()
    set(${out} "${names}" PARENT_SCOPE)
endfunction()

if(WINDOWS)
    set(expected "lv2_descriptor;lv2ui_descriptor")
    set(objdump x86_64-w64-mingw32-objdump -p)
    binary_names(imports "${objdump}" "(.*)" "DLL Name: [^\n]+" "^DLL Name: *")
    foreach(dll ${imports})
        string(TOLOWER "${dll}" dll)
        if(NOT dll MATCHES "^(kernel32|msvcrt|user32|ole32|shell32|advapi32|api-ms-win-[a-z0-9-]+)\\.dll$")
            message(FATAL_ERROR "imports a non-system DLL: ${dll}")
        endif()
    endforeach()
    # The export names are the lines right under the "[Ordinal/Name Pointer] Table" title.
    binary_names(exports "${objdump}"
        "\\[Ordinal/Name Pointer\\] Table[^\n]*\n(([ \t]+\\[[^\n]*\n)*)"
        "\\[ *[0-9]+\\] [A-Za-z_][A-Za-z0-9_@]*" "^\\[ *[0-9]+\\] ")
else()
    set(expected "lv2_descriptor")
    binary_names(exports "nm;-D;--defined-only" "(.*)" " [A-Za-z] [^\n]+" "^ [A-Za-z] ")
endif()
if(NOT exports STREQUAL "${expected}")
    message(FATAL_ERROR "exports: '${exports}', expected only '${expected}'")
endif()
message(STATUS "${BINARY}: exports ${exports}; imports ${imports}")
