#!/usr/bin/env bash
# Builds the tests with ThreadSanitizer and runs the ones that use threads: the HTTP client,
# the draw refresh beside the window, the update download and a batch cast on several threads.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVENNA_TSAN=ON -DORVENNA_BENCH=OFF >/dev/null
cmake --build build-tsan -j "$(nproc)" --target orvenna_tests orvenna_gui_tests >/dev/null
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/tests/tsan.supp"
build-tsan/tests/orvenna_tests --gtest_filter='HttpClient*:DrawFetch*:CliCastTest.BatchOnSeveralThreads*' --gtest_brief=1
build-tsan/tests/orvenna_gui_tests --gtest_filter='DrawRefreshTest.*:UpdateTest.*' --gtest_brief=1
