#!/usr/bin/env bash
# The Windows program's windows at the DPIs Windows users have (100 %, 125 %, 150 % and 200 %:
# LogPixels 96, 120, 144 and 192, set in the Wine prefix with its session restarted) on a
# 1366x768 laptop screen and a 1920x1080 one, each with a 40-pixel taskbar. Every window gets
# the one layout check after a number cast made with the mouse and the keys (the window tests'
# Screenshot* group), and the keyboard is walked as a user walks it (Keyboard*); at 192 the
# main window is larger than the screen and must scroll.
#
#   tests/windows_desktops_test.sh BUILD-DIR      (WINEPREFIX from scripts/windows-wine.sh)
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tests="$1/bin/orvenna_gui_tests.exe"
# The pictures stay in the build folder (ORVENNA_SCREENSHOTS replaces it), to be looked at.
shots=${ORVENNA_SCREENSHOTS:-$(cd "$1" && pwd)/screenshots}
logs=$(mktemp -d)
trap 'rm -rf "$logs"; set_dpi 96' EXIT

quiet() { "$@" </dev/null >/dev/null 2>&1; }
source "$root/scripts/private-display.sh"
# Wine reads the DPI when its session starts: the session ends here, and wine-run.sh starts
# the next one. The registry is written in a session that has a display: one begun without
# leaves the prefix describing no screen, and every later window program fails to make its
# windows.
set_dpi() {
  quiet wineserver -k || true
  quiet wineserver -w || true
  start_private_display
  local key
  for key in 'HKCU\Control Panel\Desktop' 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
    DISPLAY=":$DISPLAY_NUMBER" quiet wine reg add "$key" /v LogPixels /t REG_DWORD /d "$1" /f
  done
  # The registry reaches its files when the session ends.
  quiet wineserver -k || true
  quiet wineserver -w || true
  kill "$DISPLAY_PID" 2>/dev/null
  wait "$DISPLAY_PID" 2>/dev/null
}

passed=0 failed=0
# DPI:SCREEN[:MANAGER]: under a window manager (openbox), which frames and places a Wine
# window itself, the layout check runs at 96 DPI, where the screen holds the whole window (at
# 120 on this screen the manager leaves the frame a pixel above the screen), and the keyboard
# tests at 120, where the manager gives the keyboard to the window in front.
for setting in 96:1366x768 96:1920x1080 120:1920x1080 144:1920x1080 192:1920x1080 96:1366x768:openbox \
  120:1366x768:openbox; do
  IFS=: read -r dpi screen manager <<<"$setting"
  set_dpi "$dpi"
  filter='Screenshot*:Keyboard*:ReviewWinTest.*:ChartWinTest.*'
  if [ -n "$manager" ]; then
    filter='Keyboard*:ReviewWinTest.TheKeys*:ReviewWinTest.PageKeys*'
    [ "$dpi" = 96 ] &&
      filter='Screenshot*:MainWindowTest.TheWindow*:MainWindowTest.ADpi*:LineEntryTest.Nothing*:ReviewWinTest.Every*:ChartWinTest.TheButton*'
  fi
  # ORVENNA_DESKTOP_FILTER narrows every setting to the windows being worked on.
  filter=${ORVENNA_DESKTOP_FILTER:-$filter}
  name="$dpi-dpi-$screen${manager:+-$manager}"
  folder="$shots/$name"
  rm -rf "$folder"
  mkdir -p "$folder"
  if ORVENNA_SCREEN=$screen ORVENNA_TASKBAR=40 ORVENNA_SCREENSHOTS=$folder ORVENNA_WINDOW_MANAGER=$manager \
    bash "$root/scripts/wine-run.sh" --display "$tests" --gtest_filter="$filter" --gtest_brief=1 \
    >"$logs/$name.log" 2>&1; then
    echo "windows desktop $name: every window passes"
    [ -f "$folder/main-window.png" ] && echo "  the main window after a number cast: $folder/main-window.png"
    passed=$((passed + 1))
  else
    echo "windows desktop $name: a window failed"
    tail -n 40 "$logs/$name.log"
    failed=$((failed + 1))
  fi
done
echo "windows desktops: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
