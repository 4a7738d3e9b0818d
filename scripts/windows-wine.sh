#!/usr/bin/env bash
# Makes the Wine prefix the Windows tests run in, with Chinese fonts, and prints its path:
#
#   export WINEPREFIX=$(scripts/windows-wine.sh [FOLDER])
#
# FOLDER defaults to $ORVENNA_WINEPREFIX, else /var/cache/orvenna-windows/wineprefix
# (ORVENNA_WINDOWS_CACHE replaces the parent folder): two work trees testing at once each
# name their own, since a test may change the prefix's DPI. A missing prefix is made (about 8 s, 700 MB: cheaper to make than to keep
# in a cache); an existing one is reused. scripts/windows-deps.sh installs Wine and the fonts.
#
# Whoever runs ctest afterwards should first start a lasting wineserver with a Wine process
# whose standard streams are detached (wineserver -p; wine cmd /c exit </dev/null >/dev/null
# 2>&1): the first Wine process leaves services behind holding its pipes, and ctest waits for
# those pipes to close.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cache=${ORVENNA_WINDOWS_CACHE:-/var/cache/orvenna-windows}
prefix=${1:-${ORVENNA_WINEPREFIX:-$cache/wineprefix}}
mkdir -p "$(dirname "$prefix")"
prefix=$(cd "$(dirname "$prefix")" && pwd)/$(basename "$prefix")

export WINEPREFIX=$prefix
export WINEDEBUG=-all

# Every Wine command gets its streams detached: the services the first one starts inherit
# them, and a caller reading our stdout through a pipe, $(...), would wait for them to end.
quiet() { "$@" </dev/null >/dev/null 2>&1; }

# The prefix is made again when the font set-up it was made with has changed.
fonts=$(sha256sum "$root/scripts/wine-cjk-reg.py" | cut -c1-16)
if [ "$(cat "$prefix/.orvenna-ready" 2>/dev/null)" != "$fonts" ]; then
  quiet wineserver -k || true
  rm -rf "$prefix"
  t0=$SECONDS
  if ! quiet wine cmd /c exit; then
    echo "windows-wine: wine could not make $prefix" >&2
    exit 1
  fi
  reg=$(mktemp --suffix=.reg)
  trap 'rm -f "$reg"' EXIT
  python3 "$root/scripts/wine-cjk-reg.py" "$reg"
  quiet wine regedit /S "$reg"
  # The registry reaches its files only when wineserver ends.
  quiet wineserver -w
  echo "$fonts" >"$prefix/.orvenna-ready"
  echo "windows-wine: prefix $((SECONDS - t0)) s" >&2
fi

echo "$prefix"
