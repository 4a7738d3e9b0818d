# Cross-compiles for 64-bit Windows on Linux with Debian's mingw-w64 compilers. The posix
# thread model is used because the win32 one has no std::thread or std::mutex in this GCC.
#
# ORVENNA_WINDOWS_PREFIX: the folder of the cross-built static dependencies (wxMSW, curl,
#   SQLite, ...), as printed by scripts/windows-deps.sh. Taken from the CMake cache variable
#   of that name, else from the environment variable of that name; once configured, the
#   cache keeps it. Headers, libraries and CMake packages are looked up only there and in
#   the mingw-w64 sysroot, so nothing built for Linux can slip into the Windows program.
#
#   cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw64-toolchain.cmake \
#         -DORVENNA_WINDOWS_PREFIX="$(scripts/windows-deps.sh)"
#
# The dependency builds in scripts/windows-deps.sh use this same file, so the program and
# its libraries are compiled the same way.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ORVENNA_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ORVENNA_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORVENNA_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${ORVENNA_MINGW_TRIPLET}-windres)

if(NOT ORVENNA_WINDOWS_PREFIX AND DEFINED ENV{ORVENNA_WINDOWS_PREFIX})
  set(ORVENNA_WINDOWS_PREFIX "$ENV{ORVENNA_WINDOWS_PREFIX}")
endif()
if(ORVENNA_WINDOWS_PREFIX)
  set(ORVENNA_WINDOWS_PREFIX "${ORVENNA_WINDOWS_PREFIX}" CACHE PATH
      "Folder of the cross-built Windows dependencies (scripts/windows-deps.sh)")
endif()
# try_compile projects read this file again without the cache: hand the prefix on to them.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ORVENNA_WINDOWS_PREFIX)

set(CMAKE_FIND_ROOT_PATH /usr/${ORVENNA_MINGW_TRIPLET} ${ORVENNA_WINDOWS_PREFIX})
# Tools (pkg-config, wx-config, python) run on Linux; everything linked comes from the roots.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test executables (gtest_discover_tests, ctest) run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)

# pkg-config would otherwise answer with the Linux system's .pc files (host include paths,
# shared libraries). An explicit PKG_CONFIG_LIBDIR in the environment still wins.
if(ORVENNA_WINDOWS_PREFIX AND NOT DEFINED ENV{PKG_CONFIG_LIBDIR})
  set(ENV{PKG_CONFIG_LIBDIR}
      "${ORVENNA_WINDOWS_PREFIX}/lib/pkgconfig:/usr/${ORVENNA_MINGW_TRIPLET}/lib/pkgconfig")
endif()
