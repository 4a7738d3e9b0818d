#!/usr/bin/env bash
# The update as a Windows user meets it, under Wine: Orvenna 1.0.0 installed by its setup
# program, with a saved record and a config.ini, finds version 1.1.0 on an update server
# (127.0.0.1), downloads its setup program, checks it and hands over to it; afterwards 1.1.0
# is installed and the record and config.ini are still there, and the same index offers it
# nothing. Then uninstalling keeps the data, and uninstalling with /REMOVEDATA removes it.
#
#   windows_update_test.sh BUILD_DIR NEXT_BUILD_DIR
# BUILD_DIR: the Windows build (1.0.0); NEXT_BUILD_DIR: the same source built as 1.1.0, with
# its own build number (scripts/build.sh windows 1.1.0). WINEPREFIX set.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
usage="usage: windows_update_test.sh BUILD_DIR NEXT_BUILD_DIR"
build=$(cd "${1:?$usage}" && pwd)
next=$(cd "${2:?$usage}" && pwd)
# The build number that 1.1.0 was given, which its index names as "ver".
next_ver=$(sed -n 's/^#define ORVENNA_BUILD_NUMBER \([0-9]*\)$/\1/p' "$next/generated/base/base/Version.h")
[ -n "$next_ver" ] || { echo "no build number in $next" >&2; exit 1; }
: "${WINEPREFIX:?WINEPREFIX must name the Wine prefix (scripts/windows-wine.sh)}"
export WINEDEBUG=-all

work=$(mktemp -d)
pids=()
clean_up() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap clean_up EXIT

failures=0
step() { echo "-- $*"; }
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
finish() {
  if [ "$failures" -eq 0 ]; then
    echo "windows update: 1 passed, 0 failed"
    exit 0
  fi
  echo "windows update: 0 passed, 1 failed"
  exit 1
}

wine_run() { bash "$root/scripts/wine-run.sh" "$@"; }
# The Windows path of a Unix path inside the prefix, and back.
windows_path() { wine winepath -w "$1" 2>/dev/null | tr -d '\r'; }
registry_value() {
  wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvenna' /v "$1" 2>/dev/null |
    tr -d '\r' | awk -v key="$1" '$1 == key {print $3}'
}
wait_for() {  # wait_for SECONDS COMMAND...: true once COMMAND succeeds
  local end=$((SECONDS + $1))
  shift
  until "$@"; do
    [ $SECONDS -lt $end ] || return 1
    sleep 0.5
  done
}

# Wine needs a display for the windows; the session starts on it (scripts/wine-run.sh).
source "$root/scripts/private-display.sh"
start_private_display
pids+=("$DISPLAY_PID")
[ -n "$DISPLAY_NUMBER" ] || { fail "Xvfb did not start"; finish; }
export DISPLAY=":$DISPLAY_NUMBER"
wine reg add 'HKCU\Software\Wine\AppDefaults\orvenna.exe\X11 Driver' /v Managed /d N /f >/dev/null 2>&1

appdata=$(wine_run cmd /c echo %LOCALAPPDATA% | tr -d '\r')
installed=$(wine winepath -u "$appdata\\Programs\\Orvenna" 2>/dev/null)
[ -n "$installed" ] || { fail "no local application-data folder"; finish; }

step "a clean start: no earlier installation"
[ -x "$installed/uninstall.exe" ] && wine_run "$installed/uninstall.exe" /S /REMOVEDATA "_?=$(windows_path "$installed")" || true
rm -rf "$installed"
wine reg delete 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvenna' /f >/dev/null 2>&1 || true

step "install 1.0.0 silently"
setup_old=$build/Orvenna-1.0.0-setup.exe
wine_run "$setup_old" /S || fail "the 1.0.0 setup program failed"
for file in orvenna.exe orvenna-cli.exe liborvenna-htmlquery.dll help.chm update-key.pub uninstall.exe; do
  [ -f "$installed/$file" ] || fail "$file is not installed"
done
[ "$(registry_value DisplayVersion)" = 1.0.0 ] || fail "the uninstall entry does not say 1.0.0"
[ "$failures" -eq 0 ] || finish

step "a saved record and a config.ini"
wine_run "$installed/orvenna-cli.exe" cast --method 1 --input 20261207 --zodiac 7 --save 更新之前 >/dev/null ||
  fail "the record could not be saved"
[ -f "$installed/src/data/ssq.db" ] || fail "no database below the program"
cp "$installed/src/data/ssq.db" "$work/ssq-before.db"

step "a test key as the trusted key of the installed copy"
minisign -G -W -p "$work/test.pub" -s "$work/test.key" >/dev/null || { fail "minisign could not make a key"; finish; }
cp "$work/test.pub" "$installed/update-key.pub"

step "version 1.1.0 (build $next_ver) on an update server"
mkdir -p "$work/site/update/tarv"
cp "$next/Orvenna-1.1.0-setup.exe" "$work/site/" || { fail "no 1.1.0 setup program in $next"; finish; }
python3 - "$work" <<'EOF' &
import http.server, os, sys, socketserver
work = sys.argv[1]
os.chdir(os.path.join(work, "site"))
class Handler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, format, *args):
        with open(os.path.join(work, "requests.log"), "a") as log:
            log.write("%s\n" % self.requestline)
server = socketserver.TCPServer(("127.0.0.1", 0), Handler)
with open(os.path.join(work, "port.tmp"), "w") as f:
    f.write(str(server.server_address[1]))
os.rename(os.path.join(work, "port.tmp"), os.path.join(work, "port"))
server.serve_forever()
EOF
pids+=($!)
wait_for 10 test -s "$work/port" || { fail "the update server did not start"; finish; }
port=$(cat "$work/port")
setup_new=$work/site/Orvenna-1.1.0-setup.exe
md5=$(md5sum "$setup_new" | awk '{print toupper($1)}')
index=$work/site/update/tarv/index.json
# The index of SETUP.exe as a publisher makes it, signed with the test key.
publish() {
  bash "$root/scripts/publish-update.sh" "$1" "$next_ver" V1.1.0 "http://127.0.0.1:$port/$(basename "$1")" \
    --key "$work/test.key" --day 2026-12-20 --body $'\n1. 更新测试' --out "$index" 2>/dev/null
}
# config.ini as the profile functions keep it: UTF-16 with its byte-order mark. No draw page,
# the local update server, and a section of the user's own that must survive. Written before
# each start: an offer sets update_day, which would keep a second check from running today.
write_config() {
  printf '[sys]\r\ndraw_url=\r\nupdate_url=http://127.0.0.1:%s\r\n[mine]\r\nkeep=保留\r\n' "$port" |
    iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$installed/config.ini"
}
clicker=$work/click.exe
cp "$build/bin/orvenna_test_program.exe" "$clicker"
start_program() {
  ORVENNA_INSTALLER_ARGUMENTS=/S wine_run "$installed/orvenna.exe" >"$work/$1" 2>&1 &
  program=$!
}
program_ended() { ! kill -0 "$program" 2>/dev/null; }

step "a tampered 1.1.0 (its MD5 and size in the index, the genuine signature) installs nothing"
tampered=$work/site/Orvenna-1.1.0-tampered.exe
python3 -c 'import sys; d = bytearray(open(sys.argv[1], "rb").read()); d[len(d) // 2] ^= 1; open(sys.argv[2], "wb").write(d)' \
  "$setup_new" "$tampered"
tampered_md5=$(md5sum "$tampered" | awk '{print toupper($1)}')
publish "$setup_new" || fail "the update could not be published"
python3 -c '
import hashlib, json, sys
path, tampered, address = sys.argv[1:]
index = json.load(open(path, encoding="utf-8"))
data = open(tampered, "rb").read()
index.update(url=address.encode("utf-16-le").hex().upper(), md5=hashlib.md5(data).hexdigest().upper(), size=len(data))
json.dump(index, open(path, "w", encoding="utf-8"), ensure_ascii=False)' \
  "$index" "$tampered" "http://127.0.0.1:$port/Orvenna-1.1.0-tampered.exe"
# Signed again as the index: only the installer's own signature is left to refuse the file.
minisign -S -s "$work/test.key" -m "$index" -x "$index.minisig" \
  -t "product=orvenna platform=windows-x64 ver=$next_ver" >/dev/null 2>&1 || fail "the index could not be signed"
write_config
start_program orvenna-tampered.log
wine_run "$clicker" 发现新版本 立即下载 || fail "no update window with 立即下载 appeared"
wine_run "$clicker" 发现新版本 立即安装 || fail "the download did not end with 立即安装"
# Refused: the file is deleted and the program stays open; its update window can be closed.
wine_run "$clicker" 发现新版本 下次再说 || fail "the refused update left no way to close its window"
grep -q "GET /Orvenna-1.1.0-tampered.exe" "$work/requests.log" || fail "the tampered setup program was not downloaded"
program_ended && fail "orvenna.exe ended after a refused update"
[ ! -e "$installed/$tampered_md5.exe" ] || fail "the tampered setup program was not deleted"
wine_run taskkill /IM orvenna.exe >/dev/null 2>&1 || true
wait_for 30 program_ended || fail "orvenna.exe did not close"
[ "$(registry_value DisplayVersion)" = 1.0.0 ] || fail "a tampered update changed the installed version"
wine_run "$installed/orvenna-cli.exe" history list 2>&1 | grep -q 更新之前 || fail "1.0.0 no longer works"
[ "$failures" -eq 0 ] || finish

step "1.0.0 starts, offers the signed 1.1.0; 立即下载, then 立即安装"
publish "$setup_new" || fail "the update could not be published"
write_config
start_program orvenna.log
# The bracket keeps pgrep from finding this shell's own command line.
setup_ended() { ! pgrep -f "[${md5:0:1}]${md5:1}\.exe" >/dev/null; }
wine_run "$clicker" 发现新版本 立即下载 || fail "no update window with 立即下载 appeared"
wine_run "$clicker" 发现新版本 立即安装 || fail "the download did not end with 立即安装"
wait_for 60 program_ended || fail "orvenna.exe did not end after handing over"
grep -q "GET /update/tarv/index.json" "$work/requests.log" || fail "the update index was not asked for"
grep -q "GET /Orvenna-1.1.0-setup.exe" "$work/requests.log" || fail "the setup program was not downloaded"

step "the setup program ran silently and installed 1.1.0"
wait_for 60 setup_ended || fail "the setup program did not end"
[ "$(registry_value DisplayVersion)" = 1.1.0 ] || fail "the uninstall entry says '$(registry_value DisplayVersion)', not 1.1.0"
[ -f "$installed/$md5.exe" ] && [ "$(md5sum <"$installed/$md5.exe" | awk '{print toupper($1)}')" = "$md5" ] ||
  fail "the downloaded setup program is not the published one"
cmp -s "$next/bin/orvenna.exe" "$installed/orvenna.exe" || fail "orvenna.exe was not 1.1.0's, whole"

step "the installed 1.1.0 is offered nothing by the index that installed it"
check_code=0
wine_run "$installed/orvenna-cli.exe" update check --key "$work/test.pub" >"$work/check.txt" 2>&1 || check_code=$?
grep -q "^offer: none, .*not newer" "$work/check.txt" && [ "$check_code" -eq 1 ] ||
  fail "1.1.0 is offered its own build again (exit $check_code): $(cat "$work/check.txt")"

step "the record and config.ini survived"
cmp -s "$work/ssq-before.db" "$installed/src/data/ssq.db" || fail "the database changed"
wine_run "$installed/orvenna-cli.exe" history list >"$work/history.txt" 2>&1 || true
grep -q 更新之前 "$work/history.txt" || fail "the saved record is gone: $(cat "$work/history.txt")"
iconv -f UTF-16 -t UTF-8 "$installed/config.ini" >"$work/config.txt" 2>/dev/null || cp "$installed/config.ini" "$work/config.txt"
grep -q "keep=保留" "$work/config.txt" || fail "config.ini lost the user's own section"
grep -q "update_file=$md5.exe" "$work/config.txt" || fail "config.ini does not name the downloaded setup program"

step "uninstalling keeps the records and config.ini"
wine_run "$installed/uninstall.exe" /S "_?=$(windows_path "$installed")" || fail "the uninstaller failed"
rm -f "$installed/uninstall.exe"  # run in place (_?=), it leaves itself behind
for file in orvenna.exe orvenna-cli.exe liborvenna-htmlquery.dll help.chm update-key.pub "$md5.exe"; do
  [ ! -e "$installed/$file" ] || fail "$file is still there after uninstalling"
done
[ -f "$installed/src/data/ssq.db" ] && [ -f "$installed/config.ini" ] || fail "uninstalling removed the data"
[ -z "$(registry_value DisplayVersion)" ] || fail "the uninstall entry is still there"

step "update_file naming the records: the uninstaller deletes only a downloaded installer"
wine_run "$setup_old" /S || fail "reinstalling 1.0.0 failed"
printf '[sys]\r\nupdate_file=src\\data\\ssq.db\r\n' >"$installed/config.ini"
wine_run "$installed/uninstall.exe" /S "_?=$(windows_path "$installed")" || fail "the uninstaller failed"
rm -f "$installed/uninstall.exe"
[ -f "$installed/src/data/ssq.db" ] || fail "the uninstaller deleted the records that update_file named"

step "uninstalling with the data ticked (/REMOVEDATA) removes them too"
wine_run "$setup_old" /S || fail "reinstalling 1.0.0 failed"
wine_run "$installed/uninstall.exe" /S /REMOVEDATA "_?=$(windows_path "$installed")" || fail "the uninstaller failed"
rm -f "$installed/uninstall.exe"
[ ! -e "$installed/src/data/ssq.db" ] && [ ! -e "$installed/config.ini" ] || fail "the data is still there"
rmdir "$installed" 2>/dev/null || true

finish
