#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build, run and test the
# player. Idempotent; needs root (or sudo).
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-svg-dev libgl-dev
  libmpv-dev
  libcurl4-openssl-dev zlib1g-dev libexpat1-dev
  libxrandr-dev libx11-dev libxss-dev
  dbus-daemon qt6-translations-l10n
  nlohmann-json3-dev libsecret-1-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libcpp-httplib-dev
  clang libclang-rt-dev
  xvfb xauth openbox
  at-spi2-core
  xdotool x11-utils
  desktop-file-utils appstream lintian
  ffmpeg pulseaudio
  fonts-liberation fonts-dejavu-core
  libcanberra0
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
