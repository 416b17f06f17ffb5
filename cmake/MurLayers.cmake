# The plug-in's code in layers, each a library that sees only the folders of
# src/ below it: engine -> model (processor/) -> persistence -> the editor's
# resources, views and overlays -> the editor -> the plug-in adapter (plugin/).
#
# A layer's files include "folder/File.h" through an include root of its own
# that holds only the folders it may use, so a file reaching up (a model file
# including the editor, an overlay including the editor) fails to compile.
# The layers are object libraries: their objects go into the plug-in's shared
# code, which compiles the JUCE modules once, and they take its compile
# definitions so that they see JUCE exactly as it is built.

function(mur_layer_root name)
    set(root "${CMAKE_BINARY_DIR}/layers/${name}")
    file(REMOVE_RECURSE "${root}")
    file(MAKE_DIRECTORY "${root}")
    foreach(folder IN LISTS ARGN)
        file(CREATE_LINK "${PROJECT_SOURCE_DIR}/src/${folder}" "${root}/${folder}" SYMBOLIC)
    endforeach()
    set(MUR_LAYER_ROOT "${root}" PARENT_SCOPE)
endfunction()

# mur_add_layer(<name> SOURCES <files...> SEES <folders...> [BELOW <layers...>])
function(mur_add_layer name)
    cmake_parse_arguments(LAYER "" "" "SOURCES;SEES;BELOW" ${ARGN})
    list(TRANSFORM LAYER_SOURCES PREPEND "${PROJECT_SOURCE_DIR}/src/")

    add_library(${name} OBJECT ${LAYER_SOURCES})
    mur_enable_warnings(${LAYER_SOURCES})
    mur_layer_root(${name} ${LAYER_SEES})
    target_include_directories(${name} PRIVATE "${MUR_LAYER_ROOT}" "${CMAKE_BINARY_DIR}/generated")
    target_include_directories(${name} SYSTEM PRIVATE "${JUCE_MODULES_DIR}" $<TARGET_PROPERTY:mur_resources,INTERFACE_INCLUDE_DIRECTORIES>)
    target_compile_definitions(${name} PRIVATE $<TARGET_PROPERTY:MUR,COMPILE_DEFINITIONS>)
    target_compile_options(${name} PRIVATE $<TARGET_PROPERTY:MUR,COMPILE_OPTIONS>)
    target_compile_features(${name} PRIVATE cxx_std_20)
    set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
    target_link_libraries(${name} PRIVATE juce::juce_recommended_config_flags ${LAYER_BELOW})
endfunction()
