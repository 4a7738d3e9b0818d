#!/usr/bin/env bash
# Installs what is missing, builds, and shows a cast with orvenna-cli.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh release >/dev/null
exec build/cli/orvenna-cli cast --method 1 --input 1234 --zodiac 7 "$@"
