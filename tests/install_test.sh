#!/usr/bin/env bash
# An installed copy must find its own files: the HTML module through the programs' RPATH
# ($ORIGIN/../lib/orvenna), the help pages, desktop entry and icon under share/, and a data folder
# of each user's own (never bin/). Usage: install_test.sh BUILD_DIR
set -euo pipefail
build=${1:?usage: install_test.sh BUILD_DIR}

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

cmake --install "$build" --prefix "$prefix" >/dev/null

for file in bin/orvenna bin/orvenna-cli lib/orvenna/liborvenna-htmlquery.so share/orvenna/help/index.html \
            share/applications/orvenna.desktop share/icons/hicolor/256x256/apps/orvenna.png share/orvenna/fonts.conf share/orvenna/update-key.pub; do
  [ -f "$prefix/$file" ] || fail "$file is not installed"
done
for program in orvenna orvenna-cli; do
  [ -x "$prefix/bin/$program" ] || fail "bin/$program is not executable"
done
cli=$prefix/bin/orvenna-cli
[ -x "$cli" ] || { echo "$failures failed"; exit 1; }

# The module is found in the installed lib/orvenna/, not in the build tree.
module=$(env -u LD_LIBRARY_PATH ldd "$cli" | awk '/liborvenna-htmlquery\.so/ {print $3}')
[ -n "$module" ] && [ "$(readlink -f "$module")" = "$(readlink -f "$prefix/lib/orvenna/liborvenna-htmlquery.so")" ] ||
  fail "orvenna-cli loads the HTML module from '${module:-nowhere}', not from $prefix/lib"

# A saved results page in GB18030, as the site sends it, read by the installed program.
page=$prefix/front.html
printf '%s' '<table class="kjtable"><tbody><tr><th>彩种</th></tr></tbody><tbody>' \
  '<tr><td>a</td></tr><tr><td>b</td></tr><tr><td>c</td></tr><tr><td>d</td></tr><tr><td>e</td></tr>' \
  '<tr><td>七星彩</td><td>二</td><td>24037</td><td>2024-04-02</td><td>' \
  '<span class="yellow">1</span><span class="yellow">2</span><span class="yellow">3</span>' \
  '<span class="yellow">4</span><span class="yellow">5</span><span class="yellow">6</span>' \
  '<span class="blue">7</span></td></tr></tbody></table>' | iconv -f UTF-8 -t GB18030 >"$page"
if drawn=$(env -u LD_LIBRARY_PATH "$cli" draw --file "$page" 2>&1); then
  [ "$drawn" = "七星彩 24037 2024-04-02 1234567" ] || fail "draw --file printed '$drawn'"
else
  fail "draw --file failed: $drawn"
fi

# The trusted update key is the installed one (share/orvenna): a signature of another key is
# refused as such, not for want of a key.
if command -v minisign >/dev/null; then
  printf 'installer' >"$prefix/setup.exe"
  minisign -G -W -p "$prefix/other.pub" -s "$prefix/other.key" >/dev/null &&
    minisign -S -s "$prefix/other.key" -m "$prefix/setup.exe" -t 'orvenna ver=2' >/dev/null
  verified=$(env -u LD_LIBRARY_PATH "$cli" update verify "$prefix/setup.exe" "$prefix/setup.exe.minisig" 2>&1) &&
    fail "another key's signature was accepted"
  case "$verified" in *"another key"*) ;; *) fail "update verify did not use the installed key: $verified" ;; esac
fi

# Saved results go to the user's data folder.
if saved=$(env -u ORVENNA_HOME -u LD_LIBRARY_PATH XDG_DATA_HOME="$prefix/data" \
             "$cli" cast --method 1 --input 1234 --zodiac 7 --save T 2>&1); then
  [ "$saved" = 1 ] || fail "cast --save printed '$saved', not the new row id 1"
else
  fail "cast --save failed: $saved"
fi
[ -f "$prefix/data/Orvenna/src/data/ssq.db" ] || fail "no store in \$XDG_DATA_HOME/Orvenna/src/data/ssq.db"
[ ! -e "$prefix/bin/src" ] || fail "the installed copy wrote its data beside the program"

if [ "$failures" -ne 0 ]; then
  echo "$failures failed" >&2
  exit 1
fi
echo "installed layout ok"
