# Cross-builds the Windows x64 module and its tests with mingw-w64 (POSIX threads
# flavour). Executables and the module link the compiler runtime statically, so
# they import only system DLLs; tests run under wine through ctest.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ONDRAVA_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ONDRAVA_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ONDRAVA_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${ONDRAVA_MINGW_PREFIX}-windres)

# Libraries built for Windows: the compiler's, and those installed under
# ONDRAVA_WINDOWS_PREFIX (GoogleTest, built by scripts/test).
set(CMAKE_FIND_ROOT_PATH /usr/${ONDRAVA_MINGW_PREFIX} ${ONDRAVA_WINDOWS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# -static takes libgcc, libstdc++ and winpthread into the binary. Executables get
# an 8 MiB stack: one render keeps about 535 KB of scratch on it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -Wl,--stack,8388608")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# Only what runs on a Windows machine: no benchmark, no PNG tools.
set(ONDRAVA_BUILD_BENCH OFF CACHE BOOL "" FORCE)
set(ONDRAVA_BUILD_TOOLS OFF CACHE BOOL "" FORCE)

find_program(ONDRAVA_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(ONDRAVA_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ONDRAVA_WINE})
endif()
