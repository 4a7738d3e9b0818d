#!/usr/bin/env bash
# The Windows program under Wine: builds build-windows/ (scripts/build.sh windows), runs its
# unit and window tests by ctest under Wine (each test program through scripts/wine-run.sh,
# the window tests on a private Xvfb), and checks that orvenna-cli.exe answers a batch of
# 10,000 mixed requests byte for byte as the Linux build does; then the update end to end
# (tests/windows_update_test.sh: install 1.0.0 with its setup program, update through the
# update window to 1.1.0, the same source built as that version in build-windows-1.1.0/,
# uninstall). Fails when any of it fails.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/build.sh windows
bash scripts/build.sh windows 1.1.0
WINEPREFIX=$(bash scripts/windows-wine.sh)
export WINEPREFIX WINEDEBUG=-all
# scripts/wine-run.sh starts the Wine session itself, on a display, whenever none runs: a
# session begun without one would give every later window wrong sizes.

# The tests run in one Wine session, begun here on a display that lasts until they end: a
# session left from an earlier run, or begun by a program whose private display has gone since,
# gives the window programs no screen to make their windows on.
source scripts/private-display.sh
quiet() { "$@" </dev/null >/dev/null 2>&1; }
quiet wineserver -k || true
quiet wineserver -w || true
start_private_display
session_display=$DISPLAY_PID
trap 'kill "$session_display" 2>/dev/null || true' EXIT
quiet wineserver -p || true
DISPLAY=":$DISPLAY_NUMBER" quiet wine cmd /c exit || true

status=0
echo "== Windows tests under Wine"
# Wine on a shared machine makes a window test miss its moment now and then: a failed test
# gets one more run before it counts.
ctest --test-dir build-windows --output-on-failure -j "$(nproc)" --repeat until-pass:2 || status=1

echo "== Windows program at every DPI"
bash tests/windows_desktops_test.sh build-windows || status=1

echo "== Windows batch against Linux"
[ -x build/cli/orvenna-cli ] || bash scripts/build.sh release
work=$(mktemp -d)
trap 'rm -rf "$work"; kill "$session_display" 2>/dev/null || true' EXIT
python3 scripts/mixed-requests.py 10000 >"$work/requests.tsv"
# The same zone for both: the cast times are local wall-clock times.
TZ=Asia/Shanghai build/cli/orvenna-cli cast --batch "$work/requests.tsv" >"$work/linux.jsonl" || true
TZ=Asia/Shanghai bash scripts/wine-run.sh build-windows/bin/orvenna-cli.exe cast --batch - \
  <"$work/requests.tsv" >"$work/windows.jsonl" 2>"$work/windows.err" || true
lines=$(wc -l <"$work/linux.jsonl")
if [ "$lines" -eq 10000 ] && cmp -s "$work/linux.jsonl" "$work/windows.jsonl"; then
  echo "windows batch: 10000 answers, byte-identical to Linux"
  echo "1 passed, 0 failed"
else
  echo "windows batch: the answers differ from Linux ($lines lines on Linux)" >&2
  cmp "$work/linux.jsonl" "$work/windows.jsonl" >&2 || true
  head -c 2000 "$work/windows.err" >&2 || true
  echo "0 passed, 1 failed"
  status=1
fi

echo "== Windows update, end to end"
bash tests/windows_update_test.sh build-windows build-windows-1.1.0 || status=1

exit $status
