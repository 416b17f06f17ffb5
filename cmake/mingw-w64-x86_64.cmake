# Cross-builds MUR for 64-bit Windows with Debian's MinGW-w64 (posix threads).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# The JUCE package lives on the build machine and is still found.
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# Only Windows system DLLs at run time.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Debian installs JUCE's package files under the build machine's multiarch folder.
if(NOT JUCE_DIR)
    file(GLOB MUR_JUCE_CONFIG_DIRS "/usr/lib/x86_64-linux-gnu/cmake/JUCE-*")
    list(GET MUR_JUCE_CONFIG_DIRS 0 MUR_JUCE_CONFIG_DIR)
    set(JUCE_DIR "${MUR_JUCE_CONFIG_DIR}" CACHE PATH "JUCE package folder")
endif()
