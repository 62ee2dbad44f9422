# Cross build of the Windows program with MinGW-w64; tests run under Wine. The -posix compilers
# give the thread support GoogleTest needs. The program ships as 32-bit (i686); GRIDWRIGHT_WIN_ARCH
# (from the environment, set by scripts/wine-env.sh) picks x86_64 on machines that run no 32-bit
# code, with the 64-bit Wine loader it names in GRIDWRIGHT_WINE.
if(DEFINED ENV{GRIDWRIGHT_WIN_ARCH})
    set(GRIDWRIGHT_WIN_ARCH "$ENV{GRIDWRIGHT_WIN_ARCH}" CACHE STRING "i686 or x86_64")
else()
    set(GRIDWRIGHT_WIN_ARCH i686 CACHE STRING "i686 or x86_64")
endif()
set(triplet ${GRIDWRIGHT_WIN_ARCH}-w64-mingw32)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${GRIDWRIGHT_WIN_ARCH})
set(CMAKE_C_COMPILER ${triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${triplet}-windres)
if(GRIDWRIGHT_WIN_ARCH STREQUAL "i686")
    # Every x86 processor that runs today's Windows or Wine has SSE2; 64-bit builds have it anyway.
    set(CMAKE_CXX_FLAGS_INIT "-msse2")
endif()
set(CMAKE_FIND_ROOT_PATH /usr/${triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
if(DEFINED ENV{GRIDWRIGHT_WINE})
    set(GRIDWRIGHT_WINE "$ENV{GRIDWRIGHT_WINE}" CACHE FILEPATH "Wine loader for the tests")
else()
    find_program(GRIDWRIGHT_WINE NAMES wine REQUIRED)
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR ${GRIDWRIGHT_WINE})
