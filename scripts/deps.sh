#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need.
# Idempotent and quiet when everything is already there.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config clang-14 libclang-rt-14-dev
  qt6-base-dev libjsoncpp-dev libcurl4-openssl-dev libudev-dev libx11-dev libxi-dev libasound2-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  dbus dbus-x11 xvfb xdotool x11-utils fonts-noto-core fonts-noto-cjk
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
