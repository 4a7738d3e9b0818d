#!/usr/bin/env bash
# help.chm holds every help page and the contents, under the title the viewer shows.
#   help_chm_test.sh HELP.CHM PAGES_DIR
set -euo pipefail
chm=${1:?usage: help_chm_test.sh HELP.CHM PAGES_DIR}
pages=${2:?usage: help_chm_test.sh HELP.CHM PAGES_DIR}
listing=$(chmls list "$chm" 2>/dev/null)
failures=0
for page in "$pages"/*.html toc.hhc; do
  name=/$(basename "$page")
  grep -qF " $name" <<<"$listing" || { echo "FAIL: $name is not in $chm" >&2; failures=$((failures + 1)); }
done
# The title, stored in the help file's code page (936).
system=$(mktemp)
trap 'rm -f "$system"' EXIT
chmls extract "$chm" /#SYSTEM "$system" >/dev/null 2>&1
title=$(printf 'Orvenna 使用帮助' | iconv -f UTF-8 -t CP936)
if ! LC_ALL=C grep -aqF "$title" "$system"; then
  echo "FAIL: the help file's title is not Orvenna 使用帮助" >&2
  failures=$((failures + 1))
fi
[ "$failures" -eq 0 ]
