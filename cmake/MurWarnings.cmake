# Strict warnings for the project's own sources only: the JUCE module sources
# compiled into the same targets keep the framework's own settings.
# JUCE's headers are read as system headers here so that the strict set
# judges only our own lines.
set(MUR_WARNING_FLAGS
    -isystem "${JUCE_MODULES_DIR}"
    -Wall -Wextra -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
    -Wcast-align -Wunused -Wdouble-promotion
    -Wformat=2 -Wimplicit-fallthrough)

function(mur_enable_warnings)
    foreach(src IN LISTS ARGN)
        if(src MATCHES "\\.(cpp|cc|cxx)$")
            set_property(SOURCE "${src}" APPEND PROPERTY COMPILE_OPTIONS ${MUR_WARNING_FLAGS})
        endif()
    endforeach()
endfunction()
