#!/usr/bin/env bash
# Installs what is needed, builds in Release and starts the program. Without
# a real device attached the program starts with the demo devices.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -Wno-dev >/dev/null
cmake --build build/release -j "$(nproc)"
if [ -z "${BROMMELIVANTOS_SIMULATE:-}" ] && [ -z "$(build/release/bin/brommelivantos-ctl list 2>/dev/null)" ]; then
  echo "No device found: starting with the demo devices (BROMMELIVANTOS_SIMULATE=all)."
  export BROMMELIVANTOS_SIMULATE=all
fi
exec build/release/bin/brommelivantos "$@"
