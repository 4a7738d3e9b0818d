#!/usr/bin/env bash
# Compiles the Windows branches that need neither wxWidgets nor OpenSSL with the
# mingw-w64 cross compiler, as a syntax check: nothing is linked or run, but a branch that
# no Linux build ever compiles cannot rot unnoticed. scripts/setup.sh installs the compiler.
set -euo pipefail
cd "$(dirname "$0")/.."

compiler=x86_64-w64-mingw32-g++
command -v "$compiler" >/dev/null || compiler=x86_64-w64-mingw32-g++-posix
if ! command -v "$compiler" >/dev/null; then
  echo "windows-check: no mingw-w64 C++ compiler (run scripts/setup.sh)" >&2
  exit 1
fi

files=(
  framework/Settings.cpp
  app/InstanceLock.cpp
  app/PendingInstaller.cpp
  app/Help.cpp
  framework/Clock.cpp
  framework/ProgramDirectory.cpp
  framework/Process.cpp
  framework/Fingerprint.cpp
  framework/Gb18030.cpp
  draws/DrawFetcher.cpp
)

status=0
for file in "${files[@]}"; do
  if "$compiler" -std=c++20 -fsyntax-only -I. -D_WIN32_WINNT=0x0601 -DUNICODE -D_UNICODE \
       -Wall -Wextra -Wpedantic -Wshadow -Werror "$file"; then
    echo "ok   $file"
  else
    echo "FAIL $file" >&2
    status=1
  fi
done
exit $status
