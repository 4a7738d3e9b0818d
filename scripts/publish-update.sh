#!/usr/bin/env bash
# Publishes a signed update for Orvenna's update check:
#   scripts/publish-update.sh SETUP.exe VER VERNS URL [--key SECRET_KEY] [--day DAY] [--body TEXT] [--out FILE]
#
# Signs SETUP.exe with minisign (SETUP.exe.minisig beside it; the trusted comment is
# "orvenna ver=VER") and writes the index (index.json in the current folder, or FILE): "name",
# "ver", "verns", "day" (today unless --day), "url" (URL as hexadecimal UTF-16LE bytes), "md5",
# "body", "size" and "sig" (the .minisig file's text). Put the index at
# <update_url>/update/tarv/index.json and SETUP.exe at URL, which must be https.
# SECRET_KEY: minisign's secret key (default: minisign's own, ~/.minisign/minisign.key); the
# programs trust the public key of that pair as update-key.pub.
set -euo pipefail
usage="usage: publish-update.sh SETUP.exe VER VERNS URL [--key SECRET_KEY] [--day DAY] [--body TEXT] [--out FILE]"
[ $# -ge 4 ] || { echo "$usage" >&2; exit 2; }
setup=$1 ver=$2 verns=$3 url=$4
shift 4
key=() day=$(date +%Y-%m-%d) body="" out=index.json
while [ $# -gt 0 ]; do
  [ $# -ge 2 ] || { echo "publish-update.sh: $1: missing value" >&2; exit 2; }
  case "$1" in
    --key) key=(-s "$2") ;;
    --day) day=$2 ;;
    --body) body=$2 ;;
    --out) out=$2 ;;
    *) echo "publish-update.sh: $1: unknown option" >&2; exit 2 ;;
  esac
  shift 2
done
[ -f "$setup" ] || { echo "publish-update.sh: $setup: no such file" >&2; exit 1; }
[[ "$ver" =~ ^[1-9][0-9]{0,17}$ ]] || { echo "publish-update.sh: VER must be a positive whole number" >&2; exit 2; }
case "$url" in
  https://*) ;;
  http://127.*|http://localhost[:/]*|http://\[::1\]*) echo "publish-update.sh: note: plain http, for a loopback host only" >&2 ;;
  *) echo "publish-update.sh: URL must be https" >&2; exit 2 ;;
esac
command -v minisign >/dev/null || { echo "publish-update.sh: minisign is not installed" >&2; exit 1; }

minisign -S "${key[@]}" -m "$setup" -x "$setup.minisig" -t "orvenna ver=$ver" >&2
python3 - "$setup" "$ver" "$verns" "$day" "$url" "$body" "$setup.minisig" "$out" <<'PY'
import hashlib, json, os, sys
setup, ver, verns, day, url, body, signature, out = sys.argv[1:]
data = open(setup, "rb").read()
index = {"name": "Orvenna", "ver": int(ver), "verns": verns, "day": day,
         "url": url.encode("utf-16-le").hex().upper(), "md5": hashlib.md5(data).hexdigest().upper(),
         "body": body, "size": len(data), "sig": open(signature, encoding="utf-8").read()}
with open(out, "w", encoding="utf-8") as f:
    json.dump(index, f, ensure_ascii=False, indent=1)
PY
echo "$out" >&2
