#!/usr/bin/env bash
# Configures and builds one tree: scripts/build.sh [release|sanitize|windows [VERSION]]
#   release   build/          the Linux program, tests and benchmarks (RelWithDebInfo)
#   sanitize  build-sanitize/ the same with AddressSanitizer and UndefinedBehaviorSanitizer
#   windows   build-windows/  orvenna.exe, orvenna-cli.exe, the HTML query DLL and the unit and
#                             window tests, cross-built with mingw-w64 (the dependencies come
#                             from scripts/windows-deps.sh, cached after the first run)
#   windows VERSION  build-windows-VERSION/  the same source built as another version (its
#                             build number follows from it), only its setup program: the
#                             release that the Windows update test updates to
# ORVENNA_BUILD_TARGETS (space-separated target names) builds only those, as scripts/run.sh
# does for the program.
set -euo pipefail
cd "$(dirname "$0")/.."
kind=${1:-release}
version=${2:-}
targets=()
case "$kind" in
  release)  dir=build;          flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
  sanitize) dir=build-sanitize; flags=(-DCMAKE_BUILD_TYPE=Debug -DORVENNA_SANITIZE=ON -DORVENNA_BENCH=OFF) ;;
  windows)
    dir=build-windows
    if [ -n "$version" ]; then
      dir=build-windows-$version
      targets=(--target orvenna_setup)
    fi
    prefix=$(bash scripts/windows-deps.sh)
    # Test discovery runs the test programs under Wine while building: in the project's
    # own prefix, never a stray ~/.wine.
    WINEPREFIX=$(bash scripts/windows-wine.sh)
    export WINEPREFIX WINEDEBUG=-all
    flags=(-DCMAKE_BUILD_TYPE=Release -DORVENNA_BENCH=OFF
           -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw64-toolchain.cmake"
           -DORVENNA_WINDOWS_PREFIX="$prefix"
           -DwxWidgets_CONFIG_EXECUTABLE="$prefix/bin/wx-config"
           -DZLIB_USE_STATIC_LIBS=ON
           "-DCMAKE_EXE_LINKER_FLAGS=-static -static-libgcc -static-libstdc++"
           "-DCMAKE_SHARED_LINKER_FLAGS=-static -static-libgcc -static-libstdc++"
           "-DORVENNA_VERSION_OVERRIDE=$version")
    ;;
  *) echo "usage: scripts/build.sh [release|sanitize|windows [VERSION]]" >&2; exit 2 ;;
esac
if [ -n "$version" ] && [ "$kind" != windows ]; then
  echo "usage: scripts/build.sh [release|sanitize|windows [VERSION]]" >&2
  exit 2
fi
cmake -S . -B "$dir" -G Ninja "${flags[@]}" >/dev/null
for target in ${ORVENNA_BUILD_TARGETS:-}; do targets+=(--target "$target"); done
cmake --build "$dir" -j "$(nproc)" "${targets[@]}"
