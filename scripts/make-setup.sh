#!/usr/bin/env bash
# Packs Orvenna's setup program (resources/setup.nsi) with makensis:
#   scripts/make-setup.sh VERSION PROGRAMS_DIR SETUP.exe
# PROGRAMS_DIR holds orvenna.exe, orvenna-cli.exe, liborvenna-htmlquery.dll and help.chm.
# The Windows build makes Orvenna-<version>-setup.exe with it; the update test a newer one.
set -euo pipefail
version=${1:?usage: make-setup.sh VERSION PROGRAMS_DIR SETUP.exe}
programs=${2:?usage: make-setup.sh VERSION PROGRAMS_DIR SETUP.exe}
setup=${3:?usage: make-setup.sh VERSION PROGRAMS_DIR SETUP.exe}
resources=$(cd "$(dirname "$0")/../resources" && pwd)
exec makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DBIN="$programs" -DRESOURCES="$resources" \
  -DOUTFILE="$setup" "$resources/setup.nsi"
