#!/usr/bin/env bash
# The windows on the desktops users have, each checked by the one layout check (every text
# fits its control, nothing overlaps, everything inside its parent and the window inside the
# screen's work area) after a number cast made with the mouse and the keys:
#   - a 1366x768 laptop screen under three window managers (openbox, xfwm4, metacity), at
#     100 % and 125 % text: each frames and places the window its own way (xfwm4 says how
#     large its frame is only once the window is shown), and the frame must stay inside the
#     work area; in a window smaller than its content the view follows the keyboard;
#   - twice the scale (GDK_SCALE=2) on a screen of twice the pixels;
#   - a larger text scale (GDK_DPI_SCALE=1.5, as 144 DPI fonts), which grows the text and the
#     layout with it;
#   - on each, the import's file dialog, which GTK sizes from its font or a remembered size,
#     and the list of the lines an import left.
#
#   tests/desktops_test.sh BUILD-DIR
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tests="$1/tests/orvenna_gui_tests"
# ORVENNA_DESKTOP_FILTER narrows the window tests while working on one window.
filter=${ORVENNA_DESKTOP_FILTER:-'Screenshot*:Keyboard*:MainWindowTest.TheWindow*:MainWindowTest.ADpi*:WindowFrontTest.*:FileDialogTest.*:DrawImportTest.AnImport*:ReviewWinTest.*:ChartWinTest.*'}
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
source "$root/scripts/private-display.sh"

passed=0 failed=0
# desktop NAME SCREEN WINDOW-MANAGER [VARIABLE=VALUE...]: one run of the window tests.
desktop() {
  local name=$1 screen=$2 manager=$3
  shift 3
  ORVENNA_SCREEN=$screen start_private_display
  if [ -z "$DISPLAY_NUMBER" ]; then
    echo "desktop $name: Xvfb did not start"
    failed=$((failed + 1))
    return
  fi
  local display=":$DISPLAY_NUMBER" wm=""
  if [ "$manager" != none ]; then
    # Each manager alone, as on a desktop without the rest of its session.
    case "$manager" in
      # xfwm4 reads its settings from xfconf, over a session bus of its own.
      xfwm4) DISPLAY=$display NO_AT_BRIDGE=1 dbus-run-session -- xfwm4 --compositor=off --sm-client-disable \
               >/dev/null 2>&1 & ;;
      metacity) DISPLAY=$display metacity --sm-disable >/dev/null 2>&1 & ;;
      *) DISPLAY=$display "$manager" >/dev/null 2>&1 & ;;
    esac
    wm=$!
    sleep 1
  fi
  if env DISPLAY="$display" NO_AT_BRIDGE=1 "$@" "$tests" --gtest_filter="$filter" --gtest_brief=1 \
    >"$logs/$name.log" 2>&1; then
    echo "desktop $name: the layout is sound"
    passed=$((passed + 1))
  else
    echo "desktop $name: the layout check failed"
    grep -v '^\[ *OK' "$logs/$name.log" | tail -n 40
    failed=$((failed + 1))
  fi
  [ -n "$wm" ] && kill "$wm" 2>/dev/null
  kill "$DISPLAY_PID" 2>/dev/null
  wait "$DISPLAY_PID" 2>/dev/null
}

for manager in openbox xfwm4 metacity; do
  desktop "$manager-1366x768" 1366x768 "$manager"
  desktop "$manager-125" 1366x768 "$manager" GDK_DPI_SCALE=1.25
done
desktop scale-2 2732x1536 none GDK_SCALE=2
desktop text-150 1920x1080 openbox GDK_DPI_SCALE=1.5
echo "desktops: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
