#!/usr/bin/env bash
# Runs a Windows program under Wine, as ctest runs the Windows build's tests:
#
#   scripts/wine-run.sh [--display] PROGRAM.exe [ARGUMENTS...]
#
# The exit code is the program's; its output comes when it ends (see below). WINEPREFIX must
# name the prefix (scripts/windows-wine.sh). With --display the program gets a private X
# server (Xvfb at 96 DPI on a free display number), stopped again when it ends, for Wine to
# draw its windows on; its windows are left unmanaged (placed by Wine itself), as there is no
# window manager, unless ORVENNA_WINDOW_MANAGER names one (openbox) to run there.
#
# Wine's session in the prefix (a lasting wineserver and its services) is started here when
# none runs, by a first Wine process that has an X display: Wine 8 takes the screen's
# description from the session's first process that asks, and one without a display leaves
# every later window program with a wrong one (controls of negative size). Start nothing in
# the prefix without a DISPLAY before this script has run.
set -euo pipefail

display=0
if [ "${1:-}" = --display ]; then
  display=1
  shift
fi
if [ -z "${WINEPREFIX:-}" ]; then
  echo "wine-run: WINEPREFIX is not set (export WINEPREFIX=\$(scripts/windows-wine.sh))" >&2
  exit 2
fi
export WINEDEBUG=${WINEDEBUG:--all}

servers=()
files=()
clean_up() {
  local server
  for server in "${servers[@]}"; do
    kill "$server" 2>/dev/null || true
    wait "$server" 2>/dev/null || true
  done
  rm -f "${files[@]}"
}
trap clean_up EXIT
trap 'exit 143' TERM INT  # a run stopped from outside (ctest's time-out) cleans up too

# Starts an Xvfb on a free display number and sets `started` to that number (empty when the
# server did not start).
source "$(dirname "$0")/private-display.sh"
start_xvfb() {
  start_private_display
  servers+=("$DISPLAY_PID")
  started=$DISPLAY_NUMBER
}

# Whether Wine's services run for this prefix: its session has started.
session_runs() {
  local process
  for process in /proc/[0-9]*; do
    [ "$(cat "$process/comm" 2>/dev/null)" = services.exe ] || continue
    tr '\0' '\n' <"$process/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && return 0
  done
  return 1
}

# A Wine command whose streams and lock (9) nothing it leaves running may keep: services
# inherit them, and whoever reads the streams (ctest) would wait for them to close for ever.
quiet() { "$@" </dev/null >/dev/null 2>&1 9>&-; }

if [ "$display" = 1 ]; then
  start_xvfb
  if [ -z "$started" ]; then
    echo "wine-run: Xvfb did not start" >&2
    exit 1
  fi
  export DISPLAY=":$started"
  if [ -n "${ORVENNA_WINDOW_MANAGER:-}" ]; then
    "$ORVENNA_WINDOW_MANAGER" </dev/null >/dev/null 2>&1 9>&- &
    servers+=("$!")
    # Windows shown before the manager runs would stay unmanaged.
    for _ in $(seq 100); do
      xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
      sleep 0.05
    done
  fi
fi

# Parallel runs take turns here, so that one of them starts the session.
{
  flock 9
  if ! session_runs; then
    first_display=${DISPLAY:-}
    if [ -z "$first_display" ]; then
      start_xvfb
      first_display=":$started"
    fi
    quiet wineserver -p || true
    DISPLAY=$first_display quiet wine cmd /c exit
  fi
  # Xvfb has no window manager, and Wine waits up to a second for one whenever it hides a
  # window it lets a manager handle: the program's windows are unmanaged unless a manager
  # runs. Written when it changes, for each program in the prefix.
  if [ "$display" = 1 ]; then
    program=$(basename "$1")
    managed=N
    [ -n "${ORVENNA_WINDOW_MANAGER:-}" ] && managed=Y
    marker="$WINEPREFIX/.wine-run-managed-$managed-$program"
    if [ ! -e "$marker" ]; then
      quiet wine reg add "HKCU\\Software\\Wine\\AppDefaults\\$program\\X11 Driver" /v Managed /d $managed /f
      rm -f "$WINEPREFIX"/.wine-run-managed-?-"$program"
      touch "$marker"
    fi
  fi
} 9>"$WINEPREFIX/.wine-run.lock"

# The program writes into files, handed on when it ends: whatever Wine starts on the way and
# leaves running inherits the program's streams.
output=$(mktemp)
errors=$(mktemp)
files+=("$output" "$errors")
status=0
wine "$@" >"$output" 2>"$errors" || status=$?
cat "$output"
cat "$errors" >&2
exit $status
