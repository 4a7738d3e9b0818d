#!/usr/bin/env bash
# The publisher's script, as a release is made: it signs the installer and the index, checks
# its own output with orvenna-cli, and refuses what the program would refuse.
#   tests/publish_test.sh ORVENNA_CLI
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cli=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0 failed=0
check() {  # check NAME EXPECTED-EXIT COMMAND...
  local name=$1 expected=$2
  shift 2
  "$@" >"$work/out" 2>&1
  local code=$?
  if [ "$code" -eq "$expected" ]; then passed=$((passed + 1)); else
    failed=$((failed + 1))
    echo "publish: $name: exit $code, expected $expected"
    cat "$work/out"
  fi
}
minisign -G -W -p "$work/key.pub" -s "$work/key.key" >/dev/null
minisign -G -W -p "$work/other.pub" -s "$work/other.key" >/dev/null
printf 'MZ setup 1.1.0' >"$work/setup.exe"
publish() {
  bash "$root/scripts/publish-update.sh" "$work/setup.exe" 2 V1.1.0 "$1" --key "$work/key.key" \
    --out "$work/index.json" --cli "$cli" "${@:2}"
}

check "an https release" 0 publish https://update.example/setup.exe --body "修正"
check "the index is signed" 0 test -s "$work/index.json.minisig"
check "the index as the program reads it" 0 "$cli" update check --index "$work/index.json" --key "$work/key.pub" \
  --platform windows-x64
check "another platform's program" 1 "$cli" update check --index "$work/index.json" --key "$work/key.pub" \
  --platform linux-x64
check "plain http to this machine" 0 publish http://127.0.0.1:8080/setup.exe
for url in http://127.evil.example/setup.exe https:// http://update.example/setup.exe ftp://x/setup.exe; do
  check "refused: $url" 2 publish "$url"
done
check "a key pair that is not the trusted one" 1 publish https://update.example/setup.exe --pub "$work/other.pub"
check "a body over its bound" 1 publish https://update.example/setup.exe --body "$(head -c 5000 /dev/zero | tr '\0' x)"
echo "publish: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
