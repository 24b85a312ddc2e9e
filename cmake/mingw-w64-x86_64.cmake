# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 toolchain (its POSIX-threads flavour,
# which std::thread and std::mutex need).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLET}-windres)

# the sysroot first, then whatever the build puts in CMAKE_PREFIX_PATH (libzip, GoogleTest)
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# the test runner and the tests' own start-up run the programs under Wine
# Debian keeps wine64 in /usr/lib/wine unless the "wine" package adds its wrappers to /usr/bin
find_program(CORVANE_WINE NAMES wine64 wine PATHS /usr/lib/wine)
if(CORVANE_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CORVANE_WINE})
endif()

# libzip and GoogleTest built for Windows by scripts/build-windows-deps
if(NOT CORVANE_DEPS_PREFIX AND DEFINED ENV{CORVANE_DEPS_PREFIX})
    set(CORVANE_DEPS_PREFIX $ENV{CORVANE_DEPS_PREFIX})
endif()
if(CORVANE_DEPS_PREFIX)
    set(ENV{CORVANE_DEPS_PREFIX} ${CORVANE_DEPS_PREFIX}) # for the try_compile projects, which read this file again
    list(APPEND CMAKE_FIND_ROOT_PATH ${CORVANE_DEPS_PREFIX})
    set(ENV{PKG_CONFIG_LIBDIR} "${CORVANE_DEPS_PREFIX}/lib/pkgconfig:/usr/${MINGW_TRIPLET}/lib/pkgconfig")
else()
    set(ENV{PKG_CONFIG_LIBDIR} "/usr/${MINGW_TRIPLET}/lib/pkgconfig")
endif()
set(ENV{PKG_CONFIG_PATH} "")
