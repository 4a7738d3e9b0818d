#!/usr/bin/env bash
# Installs every Debian package Orvenna needs to build, run and test.
# Quick when everything is already there: apt is only touched for what is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git ccache
  libwxgtk3.2-dev libgtk-3-dev
  libsqlite3-dev sqlite3
  libcurl4-openssl-dev
  libjsoncpp-dev rapidjson-dev
  libqrencode-dev
  libssl-dev openssl libsodium-dev minisign
  libmodest-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev clang-format
  g++-mingw-w64-x86-64-posix
  xvfb xauth imagemagick fonts-noto-cjk fonts-arphic-uming zbar-tools openbox xfwm4 metacity xdotool x11-utils
  python3 iputils-ping procps
  fp-utils-3.2.2 nsis lintian dpkg-dev
)

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
