#!/usr/bin/env bash
# The Debian package from the release build: build/orvenna_<version>_amd64.deb, checked by
# lintian (which must report no errors). Prints the package's path.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh release >&2
(cd build && cpack -G DEB >/dev/null)
deb=$(ls -t build/orvenna_*_amd64.deb | head -n1)
lintian --fail-on error "$deb" >&2
echo "$deb"
