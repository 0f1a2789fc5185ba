# Cross-builds for 64-bit Windows with Debian's mingw-w64 (POSIX threads, for std::thread).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KERBOLT_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KERBOLT_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KERBOLT_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KERBOLT_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KERBOLT_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The programs carry their runtime, so they start on any Windows (and under Wine) without the
# compiler's DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Test programs run on this Linux host through Wine.
find_program(KERBOLT_WINE NAMES wine64 wine PATHS /usr/lib/wine)
if(KERBOLT_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${KERBOLT_WINE})
endif()

# Link zlib into the programs too, for the same reason.
set(ZLIB_USE_STATIC_LIBS ON)
