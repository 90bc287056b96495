# cmake -DPAGE=<index.html> -DRESOURCES=<bundle>/Contents/Resources -P bundle_resources.cmake
# Fills the bundle's Resources folder with the editor page when the page exists.
file(MAKE_DIRECTORY ${RESOURCES})
if(EXISTS ${PAGE})
    file(COPY ${PAGE} DESTINATION ${RESOURCES})
endif()
