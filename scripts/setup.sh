#!/usr/bin/env bash
# Installs the Debian packages Orvenna needs: scripts/setup.sh --run only what building and
# starting the window takes (the newcomer's first command, scripts/run.sh); without it also
# everything the tests need (cross compiler, installers, window managers, sanitizer runtimes).
# Quick when everything is already there: apt is only touched for what is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git ccache
  libwxgtk3.2-dev libgtk-3-dev
  libsqlite3-dev
  libcurl4-openssl-dev
  libjsoncpp-dev rapidjson-dev
  libqrencode-dev
  libssl-dev libsodium-dev
  libmodest-dev
  liberfa-dev
  # The build tree always has its tests and benchmarks configured, so their headers are needed
  # even where only the program is built.
  libgtest-dev libgmock-dev libbenchmark-dev
  # A window without a display: a private X server and its screenshot, the fonts it shows.
  xvfb xauth imagemagick fonts-noto-cjk fonts-arphic-uming
  iputils-ping
)
if [ "${1:-}" != --run ]; then
  packages+=(
    sqlite3 openssl minisign python3 procps
    clang libclang-rt-14-dev clang-format
    g++-mingw-w64-x86-64-posix
    zbar-tools openbox xfwm4 metacity xdotool x11-utils
    fp-utils-3.2.2 nsis lintian dpkg-dev
  )
fi

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [ "$status" = installed ] || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "setup: installing ${missing[*]}" >&2
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
