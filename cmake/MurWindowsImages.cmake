# Debian's JUCE decodes PNG and JPEG through the system's libpng and libjpeg,
# which MinGW does not have. The Windows build compiles a copy of the
# juce_graphics module in which the project's own loaders (cmake/mingw, on
# the stb libraries of libstb-dev) take the place of JUCE's two.
set(MUR_WINDOWS_MODULES "${CMAKE_BINARY_DIR}/juce-modules")
file(COPY "${JUCE_MODULES_DIR}/juce_graphics" DESTINATION "${MUR_WINDOWS_MODULES}")
file(COPY "${PROJECT_SOURCE_DIR}/cmake/mingw/juce_PNGLoader.cpp" "${PROJECT_SOURCE_DIR}/cmake/mingw/juce_JPEGLoader.cpp"
     DESTINATION "${MUR_WINDOWS_MODULES}/juce_graphics/image_formats")

get_target_property(mur_graphics_sources juce_graphics INTERFACE_SOURCES)
string(REPLACE "${JUCE_MODULES_DIR}/juce_graphics" "${MUR_WINDOWS_MODULES}/juce_graphics" mur_graphics_sources "${mur_graphics_sources}")
set_target_properties(juce_graphics PROPERTIES INTERFACE_SOURCES "${mur_graphics_sources}")

# <juce_graphics/...> must find the copy too, before the installed module.
target_include_directories(MUR BEFORE PUBLIC "${MUR_WINDOWS_MODULES}")
# The stb headers sit beside it (the build machine's /usr/include must not
# join the cross compiler's include path).
find_path(MUR_STB_INCLUDE stb/stb_image.h PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
file(COPY "${MUR_STB_INCLUDE}/stb/stb_image.h" "${MUR_STB_INCLUDE}/stb/stb_image_write.h"
     DESTINATION "${MUR_WINDOWS_MODULES}/stb")
target_link_libraries(MUR PUBLIC z)
