# `cmake --install <build folder>`: copies the bundles into the standard plug-in folders, for this
# user (VELUM_INSTALL_SCOPE=user, the default) or for every user (system).
set(VELUM_INSTALL_SCOPE user CACHE STRING "Install the plug-in bundles for this user or for all")
set_property(CACHE VELUM_INSTALL_SCOPE PROPERTY STRINGS user system)

if(WIN32 AND VELUM_INSTALL_SCOPE STREQUAL "system")
    set(lv2_root COMMONPROGRAMFILES)
    set(vst3_root COMMONPROGRAMFILES)
    set(lv2_folder LV2)
    set(vst3_folder VST3)
elseif(WIN32)
    set(lv2_root APPDATA)
    set(vst3_root LOCALAPPDATA)
    set(lv2_folder LV2)
    set(vst3_folder Programs/Common/VST3)
elseif(VELUM_INSTALL_SCOPE STREQUAL "system")
    set(lv2_root "")
    set(vst3_root "")
    set(lv2_folder /usr/lib/lv2)
    set(vst3_folder /usr/lib/vst3)
else()
    set(lv2_root HOME)
    set(vst3_root HOME)
    set(lv2_folder .lv2)
    set(vst3_folder .vst3)
endif()

# The folder is read from the environment when the install runs (%APPDATA%, $HOME, ...).
function(velum_install_bundle bundle root folder)
    if(root)
        set(destination "\$ENV{${root}}/${folder}")
    else()
        set(destination "${folder}")
    endif()
    install(CODE "
        if(\"${root}\" AND \"\$ENV{${root}}\" STREQUAL \"\")
            message(FATAL_ERROR \"${root} is not set: it names the folder ${bundle} goes to\")
        endif()
        file(INSTALL DESTINATION \"${destination}\" TYPE DIRECTORY USE_SOURCE_PERMISSIONS
            FILES \"${bundle}\")")
endfunction()

velum_install_bundle(${VELUM_LV2_BUNDLE_DIR} "${lv2_root}" ${lv2_folder})
velum_install_bundle(${VELUM_VST3_BUNDLE} "${vst3_root}" ${vst3_folder})
