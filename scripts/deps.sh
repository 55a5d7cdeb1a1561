#!/bin/bash
# Installs what building and testing Vorlo needs on Debian 12; quiet and quick when all is there.
set -euo pipefail

packages=(
    cmake make g++ clang-14 libclang-rt-14-dev pkg-config
    g++-mingw-w64-x86-64 g++-mingw-w64-i686 binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
    googletest libgtest-dev libbenchmark-dev
    wine wine64 xvfb xdotool x11-utils imagemagick
    gstreamer1.0-plugins-base gstreamer1.0-plugins-good
    libpng-dev libspng-dev libstb-dev libdeflate-dev zlib1g-dev libtomlplusplus-dev libcli11-dev
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
# wine32 is never wanted: this machine cannot run i386 code, and it would take over /usr/bin/wine.
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
