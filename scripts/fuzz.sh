#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time from its seed
# corpus in fuzz/corpus/<name>: scripts/fuzz.sh [SECONDS per target, default 30].
# New inputs go to a scratch folder; a crash leaves its input in build-fuzz/ and fails.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
# Undefined behaviour fails a target as a crash does, also when run outside scripts/test.sh.
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
targets=(draw_page update_index update_address cast_number moving_flags batch_line)

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORVENNA_FUZZ=ON -DORVENNA_BENCH=OFF >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target "${targets[@]/#/orvenna_fuzz_}" >/dev/null

status=0
for name in "${targets[@]}"; do
  scratch=$(mktemp -d)
  log=build-fuzz/fuzz-$name.log
  echo "== fuzzing $name for ${seconds}s"
  if (cd build-fuzz && "fuzz/orvenna_fuzz_$name" -max_total_time="$seconds" -print_final_stats=1 \
        "$scratch" "../fuzz/corpus/$name") >"$log" 2>&1; then
    grep -E "stat::number_of_executed_units|Done [0-9]+ runs" "$log" || true
  else
    status=1
    echo "fuzz target $name failed; see $log" >&2
    grep -E "^==|SUMMARY|Test unit written" "$log" >&2 || tail -n 20 "$log" >&2
  fi
  rm -rf "$scratch"
done
exit $status
