#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time from its seed
# corpus in fuzz/corpus/<name>: scripts/fuzz.sh [SECONDS per target, default 30].
# New inputs go to a scratch folder; a crash leaves its input in build-fuzz/ and fails.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
# Undefined behaviour fails a target as a crash does, also when run outside scripts/test.sh.
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
targets=(draw_page draw_csv update_index update_address cast_number moving_flags batch_line)

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORVENNA_FUZZ=ON -DORVENNA_BENCH=OFF >/dev/null
# The build's own output is kept, and shown when it fails: a compiler that fails says why.
if ! cmake --build build-fuzz -j "$(nproc)" --target "${targets[@]/#/orvenna_fuzz_}" >build-fuzz/build.log 2>&1; then
  tail -n 40 build-fuzz/build.log
  echo "fuzz: 0 passed, 1 failed (the targets did not build)"
  exit 1
fi

# One target on each core at a time: the same time for each target, the whole in a fraction.
fuzz_one() {
  local name=$1 scratch log=build-fuzz/fuzz-$1.log
  scratch=$(mktemp -d)
  local result=0
  (cd build-fuzz && "fuzz/orvenna_fuzz_$name" -max_total_time="$seconds" -print_final_stats=1 \
     "$scratch" "../fuzz/corpus/$name") >"$log" 2>&1 || result=$?
  rm -rf "$scratch"
  return $result
}

status=0
report() {
  local name=$1 result=$2 log=build-fuzz/fuzz-$1.log
  echo "== fuzzed $name for ${seconds}s"
  if [ "$result" -eq 0 ]; then
    grep -E "stat::number_of_executed_units|Done [0-9]+ runs" "$log" || true
  else
    status=1
    echo "fuzz target $name failed; see $log" >&2
    grep -E "^==|SUMMARY|Test unit written" "$log" >&2 || tail -n 20 "$log" >&2
  fi
}
cores=$(nproc)
for ((first = 0; first < ${#targets[@]}; first += cores)); do
  batch=("${targets[@]:first:cores}")
  pids=()
  for name in "${batch[@]}"; do
    fuzz_one "$name" &
    pids+=($!)
  done
  for i in "${!batch[@]}"; do
    result=0
    wait "${pids[$i]}" || result=$?
    report "${batch[$i]}" "$result"
  done
done
exit $status
