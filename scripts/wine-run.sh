#!/usr/bin/env bash
# Runs a Windows program under Wine, as ctest runs the Windows build's tests:
#
#   scripts/wine-run.sh [--display] PROGRAM.exe [ARGUMENTS...]
#
# The exit code is the program's. WINEPREFIX must name the prefix (scripts/windows-wine.sh).
# With --display the program gets a private X server (Xvfb at 96 DPI on a free display
# number), stopped again when it ends, for Wine to draw its windows on; its windows are set to
# be unmanaged (placed by Wine, as there is no window manager), once per program and prefix.
#
# A lasting wineserver is started first, once, with a Wine process whose streams are detached:
# the services the first Wine process starts inherit its streams, and ctest would wait for
# them to close for ever.
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

# A Wine command with its streams detached, and without the lock (9): what it leaves running
# must hold neither.
quiet() { "$@" </dev/null >/dev/null 2>&1 9>&-; }

# Parallel runs take turns here, so that only one of them starts the server.
{
  flock 9
  if quiet wineserver -p; then
    quiet wine cmd /c exit
  fi
  # Xvfb has no window manager, and Wine waits up to a second for one whenever it hides a
  # window it lets a manager handle: the program's windows are left unmanaged, placed by Wine
  # itself. Once for each program in the prefix.
  if [ "$display" = 1 ]; then
    program=$(basename "$1")
    marker="$WINEPREFIX/.wine-run-unmanaged-$program"
    if [ ! -e "$marker" ]; then
      quiet wine reg add "HKCU\\Software\\Wine\\AppDefaults\\$program\\X11 Driver" /v Managed /d N /f
      touch "$marker"
    fi
  fi
} 9>"$WINEPREFIX/.wine-run.lock"

xvfb=
stop_xvfb() {
  if [ -n "$xvfb" ]; then
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
  fi
  rm -f "${number_file:-}"
}
if [ "$display" = 1 ]; then
  number_file=$(mktemp)
  trap stop_xvfb EXIT
  trap 'exit 143' TERM INT  # a run stopped from outside (ctest's time-out) stops its server too
  # Xvfb picks the display number and writes it, then a newline, once it accepts clients.
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp 3>"$number_file" </dev/null >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 200); do
    [ "$(wc -l <"$number_file")" -ge 1 ] && break
    kill -0 "$xvfb" 2>/dev/null || break
    sleep 0.05
  done
  number=$(head -n1 "$number_file")
  if [ -z "$number" ]; then
    echo "wine-run: Xvfb did not start" >&2
    exit 1
  fi
  export DISPLAY=":$number"
fi

status=0
wine "$@" || status=$?
exit $status
