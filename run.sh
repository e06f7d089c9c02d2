#!/usr/bin/env bash
# Installs what is needed, builds in Release and starts the program.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -Wno-dev >/dev/null
cmake --build build/release -j "$(nproc)"
BIN=build/release/bin
if [ -x "$BIN/brommelivantos" ]; then
  exec "$BIN/brommelivantos" "$@"
fi
# Until the window exists, show what the device scan sees, with the demo devices.
echo "Supported HID interfaces (demo devices):"
exec "$BIN/brommelivantos-ctl" --simulate=all list
