#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test twice: in the normal build and in
# a build with AddressSanitizer and UndefinedBehaviorSanitizer; then the threaded tests in a
# ThreadSanitizer build, the Debian package (made, linted, installed with apt and tried), the
# Windows program's tests under Wine with its setup program and update end to end
# (scripts/windows-test.sh), and every fuzz target for a bounded time. Fails when any test or
# fuzz target fails.
#
#   bash scripts/test.sh           everything, as CI runs it
#   bash scripts/test.sh --quick   the release build and its tests only: the loop while working
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

if [ "${1:-}" = --quick ]; then
  bash scripts/build.sh release
  exec ctest --test-dir build --output-on-failure -j "$(nproc)"
elif [ $# -gt 0 ]; then
  echo "usage: scripts/test.sh [--quick]" >&2
  exit 2
fi

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

status=0
echo "== formatting (clang-format, .clang-format)"
bash scripts/format.sh --check || status=1
for kind in release sanitize; do
  echo "== $kind build"
  bash scripts/build.sh "$kind"
  dir=build; [ "$kind" = sanitize ] && dir=build-sanitize
  echo "== $kind tests"
  ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" || status=1
done
echo "== Debian package"
if deb=$(bash scripts/package-deb.sh); then
  bash tests/deb_test.sh "$deb" || status=1
else
  echo "debian package: 0 passed, 1 failed (not made, or lintian reported errors)"
  status=1
fi
echo "== threaded tests under ThreadSanitizer"
bash scripts/tsan.sh || status=1
echo "== Windows program: cross-built, tested under Wine"
bash scripts/windows-test.sh || status=1
echo "== fuzz targets"
bash scripts/fuzz.sh "${ORVENNA_FUZZ_SECONDS:-30}" || status=1
exit $status
