#!/usr/bin/env bash
# The Debian package as a user gets it: `apt-get install ./orvenna_<version>_amd64.deb` brings
# what it depends on, and the installed orvenna-cli and orvenna work from /usr. The package
# is removed again afterwards. Needs root (apt).   deb_test.sh PACKAGE.deb
set -euo pipefail
deb=$(readlink -f "${1:?usage: deb_test.sh PACKAGE.deb}")
root=$(cd "$(dirname "$0")/.." && pwd)
export DEBIAN_FRONTEND=noninteractive

work=$(mktemp -d)
pids=()
clean_up() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  apt-get purge -y -qq orvenna >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap clean_up EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

apt-get install -y -qq "$deb" >"$work/apt.log" 2>&1 || { cat "$work/apt.log" >&2; fail "apt-get install failed"; }
for file in /usr/bin/orvenna /usr/bin/orvenna-cli /usr/lib/orvenna/liborvenna-htmlquery.so \
            /usr/share/orvenna/help/index.html /usr/share/orvenna/fonts.conf /usr/share/orvenna/update-key.pub \
            /usr/share/applications/orvenna.desktop /usr/share/icons/hicolor/256x256/apps/orvenna.png \
            /usr/share/doc/orvenna/copyright /usr/share/doc/orvenna/changelog.gz; do
  [ -f "$file" ] || fail "$file is not installed"
done

# A user of their own: data goes to their home, never /usr.
export HOME=$work/home XDG_DATA_HOME= XDG_CONFIG_HOME=
mkdir -p "$HOME"
cd "$work"
orvenna-cli cast --method 1 --input 20261207 --zodiac 7 --save 安装测试 >"$work/cast.txt" 2>&1 || fail "orvenna-cli cast failed: $(cat "$work/cast.txt")"
orvenna-cli history list | grep -q 安装测试 || fail "the saved record is not listed"
[ -f "$HOME/.local/share/Orvenna/src/data/ssq.db" ] || fail "the records are not in the user's data folder"
# The HTML query module, through the programs' RPATH.
orvenna-cli draw --file "$root/fuzz/corpus/draw_page/front-page.html" >"$work/draw.txt" 2>&1 ||
  fail "orvenna-cli draw failed: $(cat "$work/draw.txt")"

# The window starts and keeps running (its single-instance lock shows it got that far).
source "$root/scripts/private-display.sh"
start_private_display
pids+=("$DISPLAY_PID")
DISPLAY=":$DISPLAY_NUMBER" orvenna >"$work/orvenna.log" 2>&1 &
pids+=($!)
sleep 4
kill -0 "${pids[-1]}" 2>/dev/null || fail "orvenna ended at start: $(cat "$work/orvenna.log")"
[ -f "$HOME/.config/Orvenna/tarv.sq" ] || fail "orvenna did not take its lock"

if [ "$failures" -eq 0 ]; then
  echo "debian package: 1 passed, 0 failed"
else
  echo "debian package: 0 passed, 1 failed"
  exit 1
fi
