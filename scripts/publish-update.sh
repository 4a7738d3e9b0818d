#!/usr/bin/env bash
# Publishes a signed update for Orvenna's update check:
#   scripts/publish-update.sh SETUP.exe VER VERNS URL [--key SECRET_KEY] [--pub PUBLIC_KEY]
#       [--platform windows-x64|linux-x64] [--day DAY] [--body TEXT] [--out FILE] [--cli ORVENNA_CLI]
#
# Signs SETUP.exe with minisign (SETUP.exe.minisig beside it; the trusted comment is
# "orvenna ver=VER") and writes the index (index.json in the current folder, or FILE): "name",
# "ver", "verns", "day" (today unless --day), "url" (URL as hexadecimal UTF-16LE bytes), "md5",
# "body", "size" and "sig" (the .minisig file's text). Then it signs the index's exact bytes
# (FILE.minisig, trusted comment "product=orvenna platform=PLATFORM ver=VER"; the platform is
# windows-x64 unless --platform says otherwise): the program reads nothing of an index whose
# signature does not verify. Put the index at <update_url>/update/tarv/index.json, its
# signature at <update_url>/update/tarv/index.json.minisig and SETUP.exe at URL.
#
# Before it reports success it checks its own output as the program will: the installer's
# signature with `orvenna-cli update verify` and the index with `orvenna-cli update check
# --index` against PUBLIC_KEY (default: the .pub beside SECRET_KEY, or minisign's own), so a
# refused address, a field over its bound or a wrong key is found here, not by the users.
# SECRET_KEY: minisign's secret key (default: minisign's own, ~/.minisign/minisign.key).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
usage="usage: publish-update.sh SETUP.exe VER VERNS URL [--key SECRET_KEY] [--pub PUBLIC_KEY] [--platform P] [--day DAY] [--body TEXT] [--out FILE] [--cli ORVENNA_CLI]"
[ $# -ge 4 ] || { echo "$usage" >&2; exit 2; }
setup=$1 ver=$2 verns=$3 url=$4
shift 4
key=() secret=$HOME/.minisign/minisign.key pub="" platform=windows-x64 day=$(date +%Y-%m-%d) body="" out=index.json cli=""
while [ $# -gt 0 ]; do
  [ $# -ge 2 ] || { echo "publish-update.sh: $1: missing value" >&2; exit 2; }
  case "$1" in
    --key) key=(-s "$2") secret=$2 ;;
    --pub) pub=$2 ;;
    --platform) platform=$2 ;;
    --day) day=$2 ;;
    --body) body=$2 ;;
    --out) out=$2 ;;
    --cli) cli=$2 ;;
    *) echo "publish-update.sh: $1: unknown option" >&2; exit 2 ;;
  esac
  shift 2
done
[ -f "$setup" ] || { echo "publish-update.sh: $setup: no such file" >&2; exit 1; }
[[ "$ver" =~ ^[1-9][0-9]{0,17}$ ]] || { echo "publish-update.sh: VER must be a positive whole number" >&2; exit 2; }
case "$platform" in
  windows-x64|linux-x64) ;;
  *) echo "publish-update.sh: --platform must be windows-x64 or linux-x64" >&2; exit 2 ;;
esac
# The addresses the program takes: https to a named host, or plain http to this machine only.
if [[ "$url" =~ ^https://[A-Za-z0-9._~%-]+(:[0-9]+)?(/|$) ]]; then
  :
elif [[ "$url" =~ ^http://(127\.[0-9]{1,3}\.[0-9]{1,3}\.[0-9]{1,3}|localhost|\[::1\])(:[0-9]+)?(/|$) ]]; then
  echo "publish-update.sh: note: plain http, for a loopback host only" >&2
else
  echo "publish-update.sh: URL must be https to a named host (plain http only to a loopback host)" >&2
  exit 2
fi
command -v minisign >/dev/null || { echo "publish-update.sh: minisign is not installed" >&2; exit 1; }
if [ -z "$cli" ]; then
  cli=$(command -v orvenna-cli || true)
  [ -n "$cli" ] || cli=$root/build/cli/orvenna-cli
fi
[ -x "$cli" ] || { echo "publish-update.sh: orvenna-cli not found (build it, or name it with --cli)" >&2; exit 1; }
[ -n "$pub" ] || pub=${secret%.key}.pub
[ -f "$pub" ] || { echo "publish-update.sh: $pub: no public key to check the output with (--pub)" >&2; exit 1; }

# minisign 0.11 signs prehashed by default; -H on verification insists on it.
minisign -S "${key[@]}" -m "$setup" -x "$setup.minisig" -t "orvenna ver=$ver" >&2
python3 - "$setup" "$ver" "$verns" "$day" "$url" "$body" "$setup.minisig" "$out" <<'PY'
import hashlib, json, sys
setup, ver, verns, day, url, body, signature, out = sys.argv[1:]
data = open(setup, "rb").read()
index = {"name": "Orvenna", "ver": int(ver), "verns": verns, "day": day,
         "url": url.encode("utf-16-le").hex().upper(), "md5": hashlib.md5(data).hexdigest().upper(),
         "body": body, "size": len(data), "sig": open(signature, encoding="utf-8").read()}
with open(out, "w", encoding="utf-8") as f:
    json.dump(index, f, ensure_ascii=False, indent=1)
PY
minisign -S "${key[@]}" -m "$out" -x "$out.minisig" -t "product=orvenna platform=$platform ver=$ver" >&2

minisign -V -H -q -p "$pub" -m "$setup" -x "$setup.minisig" >/dev/null ||
  { echo "publish-update.sh: the installer's signature is not prehashed or not the key's" >&2; exit 1; }
minisign -V -H -q -p "$pub" -m "$out" -x "$out.minisig" >/dev/null ||
  { echo "publish-update.sh: the index's signature is not prehashed or not the key's" >&2; exit 1; }
"$cli" update verify "$setup" "$setup.minisig" --key "$pub" >/dev/null ||
  { echo "publish-update.sh: orvenna-cli refuses the installer's signature" >&2; exit 1; }
if ! report=$("$cli" update check --index "$out" --key "$pub" --platform "$platform"); then
  echo "$report" >&2
  echo "publish-update.sh: orvenna-cli refuses the index" >&2
  exit 1
fi
echo "$out" >&2
