#!/usr/bin/env bash
# Installs what is missing, builds, and starts Orvenna. Without a display it starts the
# window on a private Xvfb server, saves a screenshot (orvenna-screenshot.png, or the path
# in $ORVENNA_SCREENSHOT) after a few seconds, and stops it again.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh --run
# The program alone: the tests and benchmarks are built by scripts/test.sh.
ORVENNA_BUILD_TARGETS=orvenna bash scripts/build.sh release >/dev/null
program=build/app/orvenna

if [ -n "${DISPLAY:-}" ]; then
  exec "$program" "$@"
fi

shot=${ORVENNA_SCREENSHOT:-$PWD/orvenna-screenshot.png}
wait=${ORVENNA_SCREENSHOT_DELAY:-5}
xvfb_fd=$(mktemp)
Xvfb -displayfd 1 -screen 0 1280x900x24 -dpi 96 -nolisten tcp >"$xvfb_fd" 2>/dev/null &
xvfb=$!
trap 'kill "${app:-}" "$xvfb" 2>/dev/null || true; rm -f "$xvfb_fd"' EXIT
for _ in $(seq 100); do [ -s "$xvfb_fd" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$xvfb_fd")"
NO_AT_BRIDGE=1 "$program" "$@" &
app=$!
sleep "$wait"
if ! kill -0 "$app" 2>/dev/null; then
  echo "orvenna ended before the screenshot (another copy running?)" >&2
  exit 1
fi
import -window root "$shot"
echo "Orvenna ran on $DISPLAY; screenshot saved to $shot"
