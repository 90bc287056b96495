# cmake -DMANIFEST=<bundle>/manifest.ttl -DURI=<plug-in URI> -DBINARY=<binary name>
#       -DWINDOWS=<bool> -P ui_manifest_check.cmake
# The Windows bundle declares the plug-in's Windows UI (URI + "#ui", in the plug-in's binary) so
# that hosts find it; the Linux bundle, whose binary holds no UI, declares none.
file(READ ${MANIFEST} manifest)
string(FIND "${manifest}" "http://lv2plug.in/ns/extensions/ui#" ui_vocabulary)
if(NOT WINDOWS)
    if(NOT ui_vocabulary EQUAL -1)
        message(FATAL_ERROR "the Linux manifest declares a UI:\n${manifest}")
    endif()
    return()
endif()
foreach(statement
        "<${URI}>\n    ui:ui <${URI}#ui> ."
        "<${URI}#ui>\n    a ui:WindowsUI ;\n    ui:binary <${BINARY}> ;"
        "lv2:extensionData ui:idleInterface")
    string(FIND "${manifest}" "${statement}" found)
    if(ui_vocabulary EQUAL -1 OR found EQUAL -1)
        message(FATAL_ERROR "the Windows manifest lacks '${statement}':\n${manifest}")
    endif()
endforeach()
