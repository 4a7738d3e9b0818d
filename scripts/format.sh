#!/usr/bin/env bash
# Formats the C++ sources with the project's .clang-format: scripts/format.sh rewrites them,
# scripts/format.sh --check only reports a file that differs (and fails).
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = --check ]; then
  clang-format --dry-run --Werror "${files[@]}"
else
  clang-format -i "${files[@]}"
fi
