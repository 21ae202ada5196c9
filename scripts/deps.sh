#!/usr/bin/env bash
# Installs what building, running and testing need on Debian 12, idempotently
# and without prompts. Usage: scripts/deps.sh [run|test]
set -euo pipefail
what=${1:-test}

# Wine decodes MP3 through 32-bit GStreamer plugins, which it only recommends:
# without them MCI cannot open a single track.
pkgs=(cmake make g++-mingw-w64-i686 mingw-w64-tools wine wine32 xvfb googletest lame sox imagemagick python3
      gstreamer1.0-plugins-base:i386 gstreamer1.0-plugins-good:i386)
if [ "$what" = test ]; then
  pkgs+=(g++ clang libclang-rt-14-dev xdotool
         cups printer-driver-cups-pdf poppler-utils libcups2:i386 fonts-liberation)
fi

missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
echo "Installing: ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
